// The POSIX file adapter where it meets what only POSIX has: pipes, other users, links, and a process
// killed in the middle of a save.

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

// The temporary name is known in advance: whatever sits there is removed, never written through, so
// that a link planted there cannot make a save truncate the file it points to. The file's name is as
// long as a name may be, and the temporary name must still fit.
TEST_F(FileIoPosixTest, NeverWritesThroughALinkOrPipeUnderTheTemporaryName) {
    const std::string name = std::string(251, 'q') + ".ini";
    const std::string path = PathOf(name);
    const std::string temp = TemporaryPathFor(path);
    Store(PathOf("victim"), "precious");
    fs::create_symlink(PathOf("victim"), temp);
    ASSERT_TRUE(ReplaceFileAtomically(path, "1"));
    ASSERT_EQ(::mkfifo(temp.c_str(), 0600), 0);
    ASSERT_TRUE(ReplaceFileAtomically(path, "2"));
    fs::create_hard_link(PathOf("victim"), temp);
    ASSERT_TRUE(ReplaceFileAtomically(path, "3"));
    EXPECT_EQ(Load(path), "3");
    EXPECT_EQ(Load(PathOf("victim")), "precious");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{name, "victim"}));
}

// A child saving in a loop is killed at random moments: the file always holds one whole version, and
// the next save leaves no temporary file behind.
TEST_F(FileIoPosixTest, ASaveKilledAtAnyMomentLeavesTheOldBytesOrTheNew) {
    const std::string path = PathOf("quorb.ini");
    const std::string first(300000, 'a');
    const std::string second = std::string(200000, 'b') + "\r\n";
    ASSERT_TRUE(ReplaceFileAtomically(path, first));
    std::mt19937 random(20261207);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    int kills = 0;
    int midSave = 0;
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
        midSave += std::filesystem::exists(TemporaryPathFor(path)) ? 1 : 0;
        ASSERT_TRUE(ReplaceFileAtomically(path, first));
        ASSERT_EQ(FolderNames(), std::set<std::string>{"quorb.ini"}) << "kill " << kills;
    }
    std::printf("[ crash    ] %d kills, %d of them during a save\n", kills, midSave);
    EXPECT_GE(kills, 50) << "too few kills to mean anything";
    EXPECT_GT(midSave, 0) << "no kill landed in the middle of a save";
}

}  // namespace
}  // namespace zapnix
