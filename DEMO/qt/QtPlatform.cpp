#include "QtPlatform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <string_view>
#include <utility>

#include "AsciiSeparator.h"

namespace {

// Message box styles: the icon sits in bits 4 to 6.
constexpr int kStyleIconMask = 0x70;
constexpr int kStyleCritical = 16;
constexpr int kStyleQuestion = 32;
constexpr int kStyleInformation = 64;

// A long batch calls progress() for every point; looking at the clock is
// cheap, letting the event loop run is not, so it runs at most this often.
constexpr qint64 kProgressPollMs = 40;
constexpr int kProgressSteps = 1000;

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon iconForStyle(int style)
{
    switch (style & kStyleIconMask) {
    case kStyleCritical: return QMessageBox::Critical;
    case kStyleQuestion: return QMessageBox::Question;
    case pointset::kStyleExclamation: return QMessageBox::Warning;
    case kStyleInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The locale's separator as UTF-16, for the shared mapping to ASCII.
char asciiSeparator(const QString& separator, char fallback)
{
    return project1::asciiSeparator(
        std::u16string_view(reinterpret_cast<const char16_t*>(separator.utf16()),
                            static_cast<std::size_t>(separator.size())),
        fallback);
}

}  // namespace

// Shows the normal pointer while a dialog is up during a busy command, so
// that its buttons do not sit under an hourglass.
class QtPlatform::ArrowWhileBusy {
public:
    explicit ArrowWhileBusy(QtPlatform& owner) : platform(owner)
    {
        ++platform.dialogsOpen;
        platform.applyCursor();
    }
    ~ArrowWhileBusy()
    {
        --platform.dialogsOpen;
        platform.applyCursor();
    }
    ArrowWhileBusy(const ArrowWhileBusy&) = delete;
    ArrowWhileBusy& operator=(const ArrowWhileBusy&) = delete;

private:
    QtPlatform& platform;
};

QtPlatform::QtPlatform(QWidget* dialogParent) : parent(dialogParent) {}

QtPlatform::~QtPlatform()
{
    progressArrow.reset();
    busy = false;
    dialogsOpen = 0;
    applyCursor();
}

void QtPlatform::setBeforeEvents(std::function<void()> hook)
{
    beforeEvents = std::move(hook);
}

void QtPlatform::runBeforeEvents()
{
    if (beforeEvents)
        beforeEvents();
}

void QtPlatform::applyCursor()
{
    const bool wanted = busy;
    const Qt::CursorShape shape = dialogsOpen > 0 ? Qt::ArrowCursor : Qt::WaitCursor;
    if (wanted && !cursorPushed) {
        QGuiApplication::setOverrideCursor(QCursor(shape));
        cursorPushed = true;
    } else if (wanted) {
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    } else if (cursorPushed) {
        QGuiApplication::restoreOverrideCursor();
        cursorPushed = false;
    }
}

void QtPlatform::setBusyPointer(int code)
{
    busy = code == pointset::kBusyHourglass;
    applyCursor();
}

void QtPlatform::messageBox(std::string_view text, int style, std::string_view title)
{
    runBeforeEvents();
    const ArrowWhileBusy arrow(*this);
    // Only the single OK button is ever asked for.
    QMessageBox box(iconForStyle(style), fromUtf8(title), fromUtf8(text), QMessageBox::Ok, parent);
    box.exec();
}

std::string QtPlatform::inputBox(std::string_view prompt, std::string_view title,
                                 std::string_view defaultText)
{
    runBeforeEvents();
    const ArrowWhileBusy arrow(*this);
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(fromUtf8(title));
    // Prompts are written with CR LF line ends; a label wants bare LF.
    dialog.setLabelText(fromUtf8(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    dialog.setTextValue(fromUtf8(defaultText));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue().toStdString();
}

double QtPlatform::clockSeconds()
{
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

float QtPlatform::rnd()
{
    return random.next();
}

void QtPlatform::shell(std::string_view commandLine, int /*windowStyle*/)
{
    QStringList words = QProcess::splitCommand(fromUtf8(commandLine));
    if (words.isEmpty())
        return;
    const QString program = words.takeFirst();
    if (program.compare(QStringLiteral("explorer"), Qt::CaseInsensitive) == 0 && words.size() == 1) {
        const QUrl address(words.front(), QUrl::StrictMode);
        if (!address.isValid() || address.scheme().isEmpty()) {
            warn(QStringLiteral("The address %1 is not valid.").arg(words.front()));
            return;
        }
        // The opener runs detached: nothing here waits for the browser.
        if (!QDesktopServices::openUrl(address))
            warn(QStringLiteral("The page %1 could not be opened: no web browser was found.")
                     .arg(address.toString()));
        return;
    }
    if (!QProcess::startDetached(program, words))
        warn(QStringLiteral("The program %1 could not be started.").arg(program));
}

char QtPlatform::decimalSeparator() const
{
    return asciiSeparator(QLocale().decimalPoint(), '.');
}

char QtPlatform::groupSeparator() const
{
    return asciiSeparator(QLocale().groupSeparator(), ',');
}

void QtPlatform::beginProgress(std::int64_t total)
{
    progressTotal = std::max<std::int64_t>(total, 0);
    progressCancelled = false;
    progressPolledAtMs = 0;
    progressClock.start();
}

bool QtPlatform::progress(std::int64_t done)
{
    if (progressCancelled)
        return false;
    if (!progressClock.isValid())
        return true;
    const qint64 now = progressClock.elapsed();
    if (now < kProgressDelayMs || now - progressPolledAtMs < kProgressPollMs)
        return true;
    progressPolledAtMs = now;

    if (!progressDialog) {
        progressDialog = new QProgressDialog(parent);
        progressDialog->setWindowModality(Qt::ApplicationModal);
        progressDialog->setAutoReset(false);
        progressDialog->setAutoClose(false);
        progressDialog->setMinimumDuration(0);
        progressDialog->setRange(0, kProgressSteps);
    }
    if (!progressArrow) {
        progressDialog->setWindowTitle(QCoreApplication::applicationName());
        progressDialog->reset();
        progressArrow = std::make_unique<ArrowWhileBusy>(*this);
    }
    const std::int64_t total = std::max<std::int64_t>(progressTotal, 1);
    const std::int64_t clamped = std::clamp<std::int64_t>(done, 0, total);
    progressDialog->setLabelText(
        QStringLiteral("%L1 of %L2 done").arg(clamped).arg(progressTotal));
    runBeforeEvents();
    progressDialog->setValue(static_cast<int>(clamped * kProgressSteps / total));
    // Lets Cancel be pressed; the dialog's modality keeps the window's own
    // controls out of reach meanwhile, so no command can start inside this one.
    QCoreApplication::processEvents();
    if (progressDialog->wasCanceled())
        progressCancelled = true;
    return !progressCancelled;
}

void QtPlatform::endProgress()
{
    if (progressDialog) {
        progressDialog->reset();
        progressDialog->hide();
    }
    progressArrow.reset();
    progressClock.invalidate();
}

void QtPlatform::warn(const QString& text)
{
    const std::string utf8 = text.toStdString();
    messageBox(utf8, pointset::kStyleExclamation, "Project1");
}
