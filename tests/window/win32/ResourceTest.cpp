// What Project1.exe carries, read from the file as the system reads it: the
// program icon in each size and colour depth, the hand cursor, and the
// version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "Pictures.h"
#include "Resource.h"
#include "Version.h"

namespace {

std::wstring besideThisProgram(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

// The directory entries of an icon or cursor group, as stored.
#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

class Project1File : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(besideThisProgram(L"Project1.exe").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "Project1.exe beside the test program";
    }
    void TearDown() override { FreeLibrary(module); }

    // The bytes of a resource.
    std::pair<const BYTE*, DWORD> resource(LPCWSTR type, LPCWSTR name) const {
        const HRSRC found = FindResourceW(module, name, type);
        if (found == nullptr) return {nullptr, 0};
        return {static_cast<const BYTE*>(LockResource(LoadResource(module, found))), SizeofResource(module, found)};
    }
    std::vector<GroupEntry> group(LPCWSTR type, LPCWSTR name) const {
        const auto [bytes, size] = resource(type, name);
        if (bytes == nullptr || size < sizeof(GroupHeader)) return {};
        const auto* header = reinterpret_cast<const GroupHeader*>(bytes);
        const auto* first = reinterpret_cast<const GroupEntry*>(bytes + sizeof(GroupHeader));
        return {first, first + header->count};
    }

    HMODULE module = nullptr;
};

TEST_F(Project1File, IconHasEachSizeAndDepthAsItsPicture) {
    struct Expected { int size, bits; Picture picture; };
    const std::vector<Expected> expected{{32, 1, picture(project1_32_mono_xpm)},
                                         {32, 4, picture(project1_32_xpm)},
                                         {16, 4, picture(project1_16_xpm)}};
    const auto entries = group(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_PROJECT1));
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const GroupEntry& e = entries[i];
        EXPECT_EQ(std::tuple(int{e.width}, int{e.height}, int{e.bitCount}, int{e.colourCount}),
                  std::tuple(expected[i].size, expected[i].size, expected[i].bits, 1 << expected[i].bits));
        const auto [bytes, size] = resource(RT_ICON, MAKEINTRESOURCEW(e.id));
        ASSERT_NE(bytes, nullptr);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
        EXPECT_EQ(header->biBitCount, expected[i].bits) << "stored depth";
        const HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(bytes), size, TRUE, 0x00030000,
                                                    e.width, e.height, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr);
        std::string problem;
        const Picture drawn = shown(icon, e.width, e.height, problem);
        DestroyIcon(icon);
        EXPECT_EQ(problem, "");
        EXPECT_EQ(drawn.pixels, expected[i].picture.pixels) << "image " << i;
        EXPECT_LE(expected[i].picture.colours, 1 << expected[i].bits);
    }
}

TEST_F(Project1File, HandCursorIsSixteenColoursWithItsHotSpot) {
    const auto entries = group(RT_GROUP_CURSOR, MAKEINTRESOURCEW(IDC_HAND_POINTER));
    ASSERT_EQ(entries.size(), 1u);
    const auto [bytes, size] = resource(RT_CURSOR, MAKEINTRESOURCEW(entries[0].id));
    ASSERT_NE(bytes, nullptr);
    // A cursor image starts with its hot spot, then the bitmap.
    const auto* hotSpot = reinterpret_cast<const WORD*>(bytes);
    EXPECT_EQ(std::pair(hotSpot[0], hotSpot[1]), std::pair(WORD{12}, WORD{1}));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes + 2 * sizeof(WORD));
    EXPECT_EQ(std::tuple(header->biWidth, header->biHeight, header->biBitCount), std::tuple(32L, 64L, WORD{4}));
    const HICON cursor = CreateIconFromResourceEx(const_cast<BYTE*>(bytes), size, FALSE, 0x00030000, 32, 32,
                                                  LR_DEFAULTCOLOR);
    ASSERT_NE(cursor, nullptr);
    std::string problem;
    const Picture drawn = shown(cursor, 32, 32, problem);
    DestroyCursor(cursor);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(drawn.pixels, picture(hand_xpm).pixels);
}

std::wstring versionText(const std::vector<BYTE>& record, const std::wstring& key) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + key;
    if (VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) == FALSE)
        return L"(missing)";
    return std::wstring(value, length > 0 ? length - 1 : 0);
}

std::wstring wide(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

TEST(Project1Version, RecordAsStoredInTheProgram) {
    const std::wstring file = besideThisProgram(L"Project1.exe");
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(std::pair(fixed->dwFileVersionMS, fixed->dwFileVersionLS), std::pair(0x00010000ul, 0ul));
    EXPECT_EQ(std::pair(fixed->dwProductVersionMS, fixed->dwProductVersionLS), std::pair(0x00010000ul, 0ul));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(std::pair(translation[0], translation[1]), std::pair(WORD{0x0409}, WORD{1200}))
        << "English (United States), Unicode";

    EXPECT_EQ(versionText(record, L"FileVersion"), L"1.00");
    EXPECT_EQ(versionText(record, L"ProductVersion"), L"1.00");
    EXPECT_EQ(versionText(record, L"FileDescription"), L"Triangulation DLL example");
    EXPECT_EQ(versionText(record, L"CompanyName"), wide(project1::kCompany));
    EXPECT_EQ(versionText(record, L"ProductName"), wide(project1::kProduct));
    EXPECT_EQ(versionText(record, L"OriginalFilename"), L"Project1.exe");
}

}  // namespace
