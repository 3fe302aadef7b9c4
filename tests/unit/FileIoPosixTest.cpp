// The POSIX file adapter where it meets what only POSIX has: pipes, other users and links; and the
// temporary names both adapters use. (A killed save: on the shipped adapter, tests/win/FileIoWin32Test.cpp.)

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "TakenNames.h"
#include "platform/FileIo.h"
#include "profile/ProfileFile.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;
using FileIoPosixTest = TakenNamesTest;

// Opened plainly, a named pipe blocks the reader until some other program writes to it.
TEST_F(FileIoPosixTest, APipeIsNeitherReadNorWrittenAndNeverBlocks) {
    const std::string path = PathOf("quorb.ini");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), ReadStatus::NotRegular);
    EXPECT_EQ(LoadIniFileWithState(path).state, FileState::Unreadable);
    EXPECT_FALSE(ReplaceFileAtomically(path, "[s]\r\n"));
    EXPECT_TRUE(fs::is_fifo(path));
}

// Whether `check` holds when run as another user (nobody) in a child process.
bool AsAnotherUser(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && check() ? 0 : 1);
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Renaming over a file needs only the folder's permission: the file's own must be asked as well. And a
// file this user may not read is not a missing file: the rules it holds must not be written over with none.
TEST_F(FileIoPosixTest, NeverReplacesAFileThisUserMayNotWriteAndOneItMayNotReadIsUnreadableNeverMissing) {
    const std::string path = PathOf("quorb.ini"), secret = PathOf("poplog.ini");
    Store(path, "[s]\r\nk=1\r\n");
    Store(secret, "[Windows]\r\nTotal=1\r\n");
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
    if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root to set up";
    // Root's files, writable by root alone, in a folder that anybody may write to.
    fs::permissions(folder_, fs::perms::all);
    EXPECT_TRUE(AsAnotherUser([&] { return !WriteIniString(path, "s", "k", "2"); }))
        << "another user replaced root's file";
    EXPECT_TRUE(AsAnotherUser([&] {
        std::string bytes;
        return ReadWholeFile(secret, bytes) == ReadStatus::Denied &&
               LoadIniFileWithState(secret).state == FileState::Unreadable &&
               !WriteIniString(secret, "Windows", "Total", "0");
    })) << "read as something other than denied";
    EXPECT_EQ(Load(path), "[s]\r\nk=1\r\n");
    EXPECT_EQ(Load(secret), "[Windows]\r\nTotal=1\r\n");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"poplog.ini", "quorb.ini"}));
}

// Every temporary name a save tries first is taken: by a link to another file, a hard link to it, a pipe
// and a user's own file.
TEST_F(FileIoPosixTest, NeverOpensOrRemovesWhatIsAlreadyUnderATemporaryName) {
    const std::string path = PathOf("quorb.ini");
    Store(PathOf("victim"), "precious");
    fs::create_symlink(PathOf("victim"), TemporaryPathFor(path, 0));
    fs::create_hard_link(PathOf("victim"), TemporaryPathFor(path, 1));
    ASSERT_EQ(::mkfifo(TemporaryPathFor(path, 2).c_str(), 0600), 0);
    Store(TemporaryPathFor(path, 3), "the user's own");
    ExpectASaveBesideWhatIsPlanted(path, 4, TemporaryPathFor(path, 3));
}

// A profile file kept elsewhere (a synchronised folder) and linked into the program's folder stays a
// link: the save replaces the file it names.
TEST_F(FileIoPosixTest, ASaveGoesThroughALinkToTheFileItNames) {
    fs::create_directory(folder_ / "synced");
    const std::string target = PathOf("synced/quorb.ini");
    const std::string link = PathOf("quorb.ini");
    Store(target, "[s]\r\nk=1\r\n");
    fs::create_symlink(target, link);
    ASSERT_TRUE(WriteIniString(link, "s", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Load(target), "[s]\r\nk=2\r\n");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"quorb.ini", "synced"}));
}

// A replacement that fails after its new file is written (here the target turns into a folder before
// the rename) takes that file away again, and says so.
TEST_F(FileIoPosixTest, AFailedReplacementLeavesNoTemporaryFile) {
    const std::string path = PathOf("capture.bmp");
    FileReplacement save(path);
    ASSERT_TRUE(save.Started() && save.Write(std::string(100000, 'x')));
    fs::create_directory(path);
    Store(PathOf("capture.bmp/inside"), "");
    EXPECT_FALSE(save.Commit());
    EXPECT_EQ(FolderNames(), std::set<std::string>{"capture.bmp"});
    EXPECT_FALSE(FileReplacement(path).Started()) << "a folder is never replaced";
}

// The temporary name beside a path at the limit of the ANSI functions still fits, and is no user's.
TEST(TemporaryNames, AreOursAndFitWhereverTheTargetFits) {
    EXPECT_EQ(TemporaryPathFor("C:\\Zapnix\\quorb.ini", 0x3fa9c01bu), "C:\\Zapnix\\~zx3fa9c01b.tmp");
    EXPECT_EQ(TemporaryPathFor("quorb.ini", 7), "~zx00000007.tmp");
    EXPECT_NE(TemporaryPathFor("a/b.ini", 1), TemporaryPathFor("a/b.ini", 2));
    for (const std::size_t nameLength : {5u, 9u, 14u, 15u, 40u}) {
        const std::string folder = "C:\\" + std::string(kLongestPath - nameLength - 4, 'f');
        const std::string path = folder + "\\" + std::string(nameLength, 'q');
        ASSERT_EQ(path.size(), kLongestPath);
        const std::string temporary = TemporaryPathFor(path, 0xffffffffu);
        EXPECT_LE(temporary.size(), kLongestPath) << nameLength;
        EXPECT_TRUE(temporary.starts_with(folder + "\\~zx")) << temporary;
    }
}

}  // namespace
}  // namespace zapnix
