// The Windows file, window-system and text-case adapters against the real API: what a replacement keeps,
// how long a path may be, files that exist but cannot be read (locked, or devices), and window texts.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../unit/TempFolder.h"
#include "platform/FileIo.h"
#include "platform/Handles.h"
#include "platform/ShortDate.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"
#include "profile/ProfileFile.h"

namespace zapnix {
namespace {

using FileIoWin32Test = TempFolderTest;

// A quorb.ini whose path is 259 characters long, the most the ANSI functions take, saves. A hidden,
// system file stays hidden and system: ReplaceFile carries the replaced file's attributes over to the
// new bytes. Wine differs: its ReplaceFile renames the new file over the old one, and the attributes
// (which it keeps with the old file's inode) are lost. The code follows Windows.
TEST_F(FileIoWin32Test, ALongestPathSavesAndAReplacedFileKeepsItsAttributes) {
    std::string folder = folder_.string();
    while (folder.size() < 230) {  // a folder path must leave room for an 8.3 name (248 at most)
        folder.push_back('\\');
        folder.append(std::min<std::size_t>(40, 230 - folder.size()), 'f');
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
    }
    std::string path = folder + "\\";
    path.append(259 - path.size() - 4, 'q').append(".ini");
    Store(path, "[s]\r\nk=1\r\n");
    constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), kHiddenSystem));
    // What a killed save left, made read-only: CREATE_ALWAYS alone would refuse to reuse it.
    Store(TemporaryPathFor(path), "[s]\r\nk=");
    ASSERT_TRUE(::SetFileAttributesA(TemporaryPathFor(path).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteIniString(path, "s", "k", "2"));
    EXPECT_EQ(Load(path), "[s]\r\nk=2\r\n");
    EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(path)));
    const DWORD kept = ::GetFileAttributesA(path.c_str()) & kHiddenSystem;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        EXPECT_EQ(kept, kHiddenSystem);
    }
}

// Files that exist but cannot be read: one that another program holds open without sharing it, and a
// device (reading CON would wait for the keyboard). Neither is read as empty nor written over.
TEST_F(FileIoWin32Test, ALockedFileOrADeviceIsNeitherReadNorWritten) {
    const std::string path = PathOf("poplog.ini");
    Store(path, "[s]\r\nk=1\r\n");
    HANDLE holder =
        ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const std::string& name : {path, std::string("NUL")}) {
        EXPECT_EQ(LoadIniFileWithState(name).state, FileState::Unreadable) << name;
        EXPECT_FALSE(WriteIniString(name, "s", "k", "2")) << name;
    }
    ::CloseHandle(holder);
    EXPECT_EQ(Load(path), "[s]\r\nk=1\r\n");
}

TEST(RealWindows, TextsComeThroughABufferOf260AndAWindowGoneReadsEmpty) {
    Win32WindowSystem windows;
    const std::string longTitle(400, 'x');
    UniqueWindow titled(
        CreateWindowExA(0, "STATIC", longTitle.c_str(), 0, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    const auto window = reinterpret_cast<WindowHandle>(titled.Get());
    EXPECT_EQ(windows.Title(window), longTitle.substr(0, 259));
    EXPECT_EQ(windows.ClassName(window), "Static");
    titled.Reset();
    EXPECT_EQ(windows.ClassName(window), "");
    EXPECT_EQ(windows.Title(window), "");
}

TEST(RealWindows, CaseFoldingFollowsTheUserLocaleOnBothSidesAndTodayHasADate) {
    const Win32TextCase textCase;
    EXPECT_EQ(textCase.Lower("Win A PRIZE"), "win a prize");
    EXPECT_EQ(textCase.Upper("MozillaWindowClass"), "MOZILLAWINDOWCLASS");
    EXPECT_FALSE(TodayShortDate().empty());
}

}  // namespace
}  // namespace zapnix
