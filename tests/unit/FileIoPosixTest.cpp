// The POSIX file adapter where it meets what only POSIX has: pipes, other users, links, and a process
// killed in the middle of a save; and the temporary names both adapters use.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "TempFolder.h"
#include "platform/FileIo.h"
#include "profile/ProfileFile.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;
using FileIoPosixTest = TempFolderTest;

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

// Renaming over a file needs only the folder's permission: the file's own must be asked as well.
TEST_F(FileIoPosixTest, NeverReplacesAFileThisUserMayNotWrite) {
    const std::string path = PathOf("quorb.ini");
    Store(path, "[s]\r\nk=1\r\n");
    if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root to set up";
    // Root's file, writable by root alone, in a folder that anybody may write to.
    fs::permissions(folder_, fs::perms::all);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool refused = ::setgid(65534) == 0 && ::setuid(65534) == 0 && !WriteIniString(path, "s", "k", "2");
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another user replaced root's file";
    EXPECT_EQ(Load(path), "[s]\r\nk=1\r\n");
    EXPECT_EQ(FolderNames(), std::set<std::string>{"quorb.ini"});
}

// Every temporary name a save tries is taken: by a link to another file, a hard link to it, a pipe
// and a user's own file. None of them is opened, written through or removed; the save takes the next
// free name.
std::uint32_t TakenSalts() {
    static std::uint32_t next = 0;
    return next++ % 5;
}

TEST_F(FileIoPosixTest, NeverOpensOrRemovesWhatIsAlreadyUnderATemporaryName) {
    const std::string path = PathOf("quorb.ini");
    Store(PathOf("victim"), "precious");
    fs::create_symlink(PathOf("victim"), TemporaryPathFor(path, 0));
    fs::create_hard_link(PathOf("victim"), TemporaryPathFor(path, 1));
    ASSERT_EQ(::mkfifo(TemporaryPathFor(path, 2).c_str(), 0600), 0);
    Store(TemporaryPathFor(path, 3), "the user's own");
    Store(PathOf("quorb.in~"), "a name older saves used");
    const std::set<std::string> before = FolderNames();

    FileReplacement save(path, TakenSalts);
    ASSERT_TRUE(save.Started());
    ASSERT_TRUE(save.Write("[s]\r\n") && save.Commit());
    EXPECT_EQ(Load(path), "[s]\r\n");
    EXPECT_EQ(Load(PathOf("victim")), "precious");
    EXPECT_EQ(Load(TemporaryPathFor(path, 3)), "the user's own");
    EXPECT_EQ(Load(PathOf("quorb.in~")), "a name older saves used");
    std::set<std::string> after = FolderNames();
    after.erase("quorb.ini");
    EXPECT_EQ(after, before) << "only the target is new";
}

// A file this user may not read is not a missing file: the rules it holds must not be written over
// with none.
TEST_F(FileIoPosixTest, AFileThisUserMayNotReadIsUnreadableNeverMissing) {
    const std::string path = PathOf("quorb.ini");
    Store(path, "[Windows]\r\nTotal=1\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root to set up";
    fs::permissions(folder_, fs::perms::all);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string bytes;
        const bool denied = ::setgid(65534) == 0 && ::setuid(65534) == 0 &&
                            ReadWholeFile(path, bytes) == ReadStatus::Denied &&
                            LoadIniFileWithState(path).state == FileState::Unreadable &&
                            !WriteIniString(path, "Windows", "Total", "0");
        ::_exit(denied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "read as something other than denied";
    EXPECT_EQ(Load(path), "[Windows]\r\nTotal=1\r\n");
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

bool IsTemporaryName(const std::string& name) {
    return name.size() == 15 && name.starts_with("~zx") && name.ends_with(".tmp");
}

// A child saving in a loop is killed at random moments: the file always holds one whole version. What
// a killed save leaves is only a new file of its own, never anything under the target's name.
TEST_F(FileIoPosixTest, ASaveKilledAtAnyMomentLeavesTheOldBytesOrTheNew) {
    const std::string path = PathOf("quorb.ini");
    const std::string first(300000, 'a');
    const std::string second = std::string(200000, 'b') + "\r\n";
    ASSERT_TRUE(ReplaceFileAtomically(path, first));
    std::mt19937 random(20261207);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    int kills = 0;
    for (; kills < 200 && std::chrono::steady_clock::now() < deadline; ++kills) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            (void)!::write(ready[1], "r", 1);
            for (bool flip = false;; flip = !flip) ReplaceFileAtomically(path, flip ? first : second);
        }
        ::close(ready[1]);
        char signal = 0;
        ASSERT_EQ(::read(ready[0], &signal, 1), 1);
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(random() % 4000));
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);

        const std::string found = Load(path);
        ASSERT_TRUE(found == first || found == second) << "kill " << kills << ": " << found.size() << " bytes";
    }
    int leftovers = 0;
    for (const std::string& name : FolderNames()) {
        if (name == "quorb.ini") continue;
        EXPECT_TRUE(IsTemporaryName(name)) << name;
        ++leftovers;
    }
    std::printf("[ crash    ] %d kills, %d of them during a save\n", kills, leftovers);
    EXPECT_GE(kills, 50) << "too few kills to mean anything";
    EXPECT_GT(leftovers, 0) << "no kill landed in the middle of a save";
}

// Saves of the same file from two processes at once never mix their bytes.
TEST_F(FileIoPosixTest, TwoWritersOfOneFileNeverMixTheirBytes) {
    const std::string path = PathOf("poplog.ini");
    const std::string first(400000, 'a');
    const std::string second(300000, 'b');
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int i = 0; i < 40; ++i) ReplaceFileAtomically(path, first);
        ::_exit(0);
    }
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(ReplaceFileAtomically(path, second));
        const std::string found = Load(path);
        ASSERT_TRUE(found == first || found == second) << found.size();
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    EXPECT_EQ(FolderNames(), std::set<std::string>{"poplog.ini"});
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
