#include <gtest/gtest.h>

#include "TempFolder.h"

#include "killlog/KillLog.h"
#include "killlog/KillLogStore.h"

namespace zapnix {
namespace {

using Entries = std::vector<KillLogEntry>;

using KillLogOnDisk = TempFolderTest;

// The store of a run: it reads the file only once used, and a run that neither killed nor showed the
// log writes nothing. Each kill is dated, saved at once, and shown by a viewer that listens. poplog.ini
// locked by a scanner at the first kill: the kill stays in memory, the next save reads the file again,
// and once it can, the stored entries come first; nothing stored is ever written over. The log has its
// own key prefixes: two blanks, where the rules have three.
TEST_F(KillLogOnDisk, TheStoreReadsWhenFirstUsedAndSavesEveryKill) {
    const std::string path = PathOf("poplog.ini");
    EXPECT_TRUE(KillLogStore(path, [] { return std::string("7.12.2026"); }).Save());
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing recorded, nothing written";

    std::filesystem::create_directory(path);  // locked, say
    KillLogStore store(path, [] { return std::string("7.12.2026"); });
    int shown = 0;
    store.OnKill([&] { ++shown; });
    store.RecordKill("Win a Prize");
    ASSERT_TRUE(std::filesystem::is_directory(path));
    std::filesystem::remove(path);
    Store(path, "[Windows]\r\nTotal=1\r\nTitle  1=old\r\nDate  1=1.1.2026\r\n");
    store.RecordKill("Big Prize");
    EXPECT_EQ(shown, 2);
    const Entries all{{"old", "1.1.2026"}, {"Win a Prize", "7.12.2026"}, {"Big Prize", "7.12.2026"}};
    EXPECT_EQ(store.Log().Rows(), all);
    KillLog saved;
    LoadKillLogFromFile(path, saved);
    EXPECT_EQ(saved.Rows(), all);
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(store.Log().Rows(), all) << "read once is read: a later save merges nothing again";
}

}  // namespace
}  // namespace zapnix
