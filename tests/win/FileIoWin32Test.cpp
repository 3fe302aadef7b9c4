// The Windows file adapter against the real API: what a replacement keeps and never touches, how long a
// path may be, files that exist but cannot be read, links, and a save killed half-way.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <random>
#include <string>

#include "../unit/TakenNames.h"
#include "platform/FileIo.h"
#include "platform/Handles.h"
#include "profile/ProfileFile.h"

namespace zapnix {
namespace {

class FileIoWin32Test : public TakenNamesTest {
protected:
    // The names in the folder that a save uses for its new bytes.
    std::set<std::string> TemporaryNames() const {
        std::set<std::string> names;
        for (const std::string& name : FolderNames())
            if (name.starts_with("~zx")) names.insert(name);
        return names;
    }
};

// A quorb.ini whose path is 259 characters long, the most the ANSI functions take, saves. A hidden,
// system file stays hidden and system.
TEST_F(FileIoWin32Test, ALongestPathSavesAndAReplacedFileKeepsItsAttributes) {
    std::string folder = folder_.string();
    while (folder.size() < 230) {  // a folder path must leave room for an 8.3 name (248 at most)
        folder.push_back('\\');
        folder.append(std::min<std::size_t>(40, 230 - folder.size()), 'f');
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
    }
    std::string path = folder + "\\";
    path.append(kLongestPath - path.size() - 4, 'q').append(".ini");
    Store(path, "[s]\r\nk=1\r\n");
    constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), kHiddenSystem));
    ASSERT_TRUE(WriteIniString(path, "s", "k", "2"));
    EXPECT_EQ(Load(path), "[s]\r\nk=2\r\n");
    const DWORD kept = ::GetFileAttributesA(path.c_str()) & kHiddenSystem;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(kept, kHiddenSystem);
}

// Files that exist but cannot be read, each for a reason of its own that the user is told: one that
// another program holds open without sharing it, a folder, and a device (reading CON would wait for the
// keyboard). None is read as empty, none is written over.
TEST_F(FileIoWin32Test, AFileThatCannotBeReadSaysWhyAndIsNeverWritten) {
    const std::string locked = PathOf("poplog.ini");
    Store(locked, "[s]\r\nk=1\r\n");
    const std::string folder = PathOf("quorb.ini");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    UniqueHandle holder(
        ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.Valid());
    const struct {
        std::string path;
        ReadStatus status;
    } cases[] = {{locked, ReadStatus::Locked}, {folder, ReadStatus::NotRegular}, {"NUL", ReadStatus::NotRegular}};
    for (const auto& c : cases) {
        std::string bytes;
        EXPECT_EQ(ReadWholeFile(c.path, bytes), c.status) << c.path;
        EXPECT_EQ(LoadIniFileWithState(c.path).state, FileState::Unreadable) << c.path;
        EXPECT_FALSE(WriteIniString(c.path, "s", "k", "2")) << c.path;
    }
    holder.Reset();
    EXPECT_EQ(Load(locked), "[s]\r\nk=1\r\n");
    EXPECT_EQ(TemporaryNames(), std::set<std::string>{});
}

// Every temporary name a save tries first is taken: by a hard link to another file (which needs no
// privilege on Windows), a user's read-only file and a folder.
TEST_F(FileIoWin32Test, NeverOpensOrRemovesWhatIsAlreadyUnderATemporaryName) {
    const std::string path = PathOf("quorb.ini");
    Store(PathOf("victim"), "precious");
    ASSERT_TRUE(::CreateHardLinkA(TemporaryPathFor(path, 0).c_str(), PathOf("victim").c_str(), nullptr));
    Store(TemporaryPathFor(path, 1), "the user's own");
    ASSERT_TRUE(::SetFileAttributesA(TemporaryPathFor(path, 1).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::CreateDirectoryA(TemporaryPathFor(path, 2).c_str(), nullptr));
    ExpectASaveBesideWhatIsPlanted(path, 3, TemporaryPathFor(path, 1));
    ::SetFileAttributesA(TemporaryPathFor(path, 1).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Another program holds the file open and lets others read and write it but not delete or rename over
// it: the replacement itself fails, and takes its new file away with it.
TEST_F(FileIoWin32Test, AFailedReplacementLeavesNoTemporaryFile) {
    const std::string path = PathOf("locked.ini");
    Store(path, "[s]\r\nk=1\r\n");
    UniqueHandle holder(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.Valid());
    FileReplacement save(path);
    ASSERT_TRUE(save.Started()) << "refused before any new file was made: the test would prove nothing";
    ASSERT_TRUE(save.Write("[s]\r\nk=2\r\n"));
    EXPECT_FALSE(save.Commit());
    EXPECT_EQ(TemporaryNames(), std::set<std::string>{});
    holder.Reset();
    EXPECT_EQ(Load(path), "[s]\r\nk=1\r\n");
}

// A profile file kept elsewhere and linked into the program's folder stays a link: the save replaces
// the file it names. Wine's CreateSymbolicLink makes no usable link, so the test build makes a Unix one
// beforehand (ZAPNIX_LINK_FIXTURE: a folder holding quorb.ini -> synced/quorb.ini).
TEST(FileLinks, ASaveGoesThroughALinkToTheFileItNames) {
    const char* fixture = std::getenv("ZAPNIX_LINK_FIXTURE");
    if (!fixture) GTEST_SKIP() << "no link made for this run";
    const std::filesystem::path folder(fixture);
    const std::string link = (folder / "quorb.ini").string();
    ASSERT_TRUE(WriteIniString(link, "s", "k", "2"));
    std::string target;
    ASSERT_EQ(ReadWholeFile((folder / "synced" / "quorb.ini").string(), target), ReadStatus::Ok);
    EXPECT_EQ(target, "[s]\r\nk=2\r\n");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"quorb.ini", "synced"})) << "the link is still there, and nothing else";
}

// A process killed in the middle of saving: saving in a loop and killed at random moments, it leaves the
// old bytes or the new, whole; killed while writing (here a save that never ends), it leaves no new file
// behind, since until its bytes are complete that file is marked for deletion. The test runs this
// program again as the saver (ZAPNIX_SAVE_LOOP names the file; ZAPNIX_SAVE_ENDLESS makes the endless save).
const std::string kOld(2'000'000, 'a'), kNew(3'000'000, 'b');

TEST(KilledSave, SavesInALoopWhenAsked) {
    const char* path = std::getenv("ZAPNIX_SAVE_LOOP");
    if (!path) GTEST_SKIP() << "run by KilledSave tests";
    if (std::getenv("ZAPNIX_SAVE_ENDLESS")) {
        FileReplacement endless(path);
        while (endless.Write(kOld)) {
        }
    }
    for (bool flip = false;; flip = !flip) ReplaceFileAtomically(path, flip ? kOld : kNew);
}

using KilledSaveTest = FileIoWin32Test;

TEST_F(KilledSaveTest, LeavesTheOldBytesOrTheNewAndNoNewFileOnceWritingWasCutShort) {
    const std::string path = PathOf("quorb.ini");
    ASSERT_TRUE(ReplaceFileAtomically(path, kOld));
    // Starts this program as the saver, waits until its first new file is there, then a moment more, and
    // kills it.
    const auto saveAndKill = [&](bool endless, DWORD moment) {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, sizeof self);
        std::string command = std::string("\"") + self + "\" --gtest_filter=KilledSave.SavesInALoopWhenAsked";
        ::SetEnvironmentVariableA("ZAPNIX_SAVE_LOOP", path.c_str());
        ::SetEnvironmentVariableA("ZAPNIX_SAVE_ENDLESS", endless ? "1" : nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        // Detached: a console of its own would outlive the child and hold the test run's output open.
        const BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                                              nullptr, nullptr, &startup, &child);
        ::SetEnvironmentVariableA("ZAPNIX_SAVE_LOOP", nullptr);
        ::SetEnvironmentVariableA("ZAPNIX_SAVE_ENDLESS", nullptr);
        ASSERT_TRUE(started);
        const UniqueHandle process(child.hProcess), thread(child.hThread);
        for (int i = 0; i < 1000 && TemporaryNames().empty(); ++i) ::Sleep(5);
        ::Sleep(moment);
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), INFINITE);
        const std::string found = Load(path);
        EXPECT_TRUE(found == kOld || found == kNew) << "killed " << moment << " ms into a save";
    };
    std::mt19937 random(20261207);
    for (int kill = 0; kill < 5; ++kill) saveAndKill(false, random() % 60);
    // What those kills left (the moment between a save's last write and its rename) goes by hand.
    for (const std::string& name : TemporaryNames()) ::DeleteFileA(PathOf(name).c_str());

    saveAndKill(true, 30);
    // The system closes a dead process's handles a moment after it has ended.
    for (int i = 0; i < 100 && !TemporaryNames().empty(); ++i) ::Sleep(20);
    EXPECT_EQ(TemporaryNames(), std::set<std::string>{});
}

}  // namespace
}  // namespace zapnix
