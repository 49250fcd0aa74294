// Project1: shows the triangulation library at work in one window.
#include <QApplication>

#include "Artwork.h"
#include "Form1.h"
#include "Version.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Project1"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(project1::kVersion));
    QCoreApplication::setOrganizationName(QStringLiteral("vantrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("project1"));
    QApplication::setWindowIcon(project1::programIcon());

    Form1 window;
    window.show();
    return QApplication::exec();
}
