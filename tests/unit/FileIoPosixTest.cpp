// The POSIX file adapter against a process killed in the middle of a save.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "TempFolder.h"
#include "platform/FileIo.h"

namespace zapnix {
namespace {

using FileIoPosixTest = TempFolderTest;

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
