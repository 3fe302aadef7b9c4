#include <gtest/gtest.h>

#include "TempFolder.h"

#include "killlog/KillLog.h"
#include "killlog/KillLogStore.h"

namespace zapnix {
namespace {

using Entries = std::vector<KillLogEntry>;

using KillLogOnDisk = TempFolderTest;

// poplog.ini locked by a scanner at the first kill: the kills stay in memory, every save retries the
// load, and once it succeeds the stored entries come first; nothing stored is ever written over. The log
// has its own key prefixes: two blanks, where the rules have three.
TEST_F(KillLogOnDisk, KeepsKillsInMemoryUntilTheStoredEntriesCanBeRead) {
    const std::string path = PathOf("poplog.ini");
    std::filesystem::create_directory(path);  // exists, cannot be read as a file

    KillLog log;
    KillLogFile file(path);
    EXPECT_EQ(file.Load(log), FileState::Unreadable);
    log.Append({"kill 1", "d"});
    EXPECT_FALSE(file.Save(log));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(log.Rows(), (Entries{{"kill 1", "d"}}));

    std::filesystem::remove(path);
    Store(path, "[Windows]\r\nTotal=2\r\nTitle  1=old 1\r\nDate  1=d0\r\nTitle  2=old 2\r\n");
    log.Append({"kill 2", "d"});
    ASSERT_TRUE(file.Save(log));
    const Entries all{{"old 1", "d0"}, {"old 2", ""}, {"kill 1", "d"}, {"kill 2", "d"}};
    EXPECT_EQ(log.Rows(), all);
    KillLog reloaded;
    LoadKillLogFromFile(path, reloaded);
    EXPECT_EQ(reloaded.Rows(), all);

    // Read once is read: a later save merges nothing again.
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(log.Rows(), all);
}

// "Clear Log" must not leave every title in the file under Total=0: the saves take the entries beyond
// the log with them (the rule file keeps its rows above Total: RuleFileTest).
TEST_F(KillLogOnDisk, ASaveRemovesTheEntriesBeyondTheLog) {
    const std::string path = PathOf("poplog.ini");
    Store(path, "[Windows]\r\nTotal=3\r\nTitle  1=a\r\nDate  1=d\r\nTitle  2=b\r\nDate  2=d\r\nTitle  3=c\r\n"
                "Date  3=d\r\nNote=kept\r\n");
    KillLog log;
    KillLogFile file(path);
    ASSERT_EQ(file.Load(log), FileState::Ok);
    log.Row(1).ticked = true;
    ASSERT_EQ(log.ClearSelected(true), TickedRemoval::Done);
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Load(path), "[Windows]\r\nTotal=2\r\nTitle  1=a\r\nDate  1=d\r\nTitle  2=c\r\nDate  2=d\r\nNote=kept\r\n");
    log.Clear();
    ASSERT_TRUE(SaveKillLogToFile(path, log));
    EXPECT_EQ(Load(path), "[Windows]\r\nTotal=0\r\nNote=kept\r\n");
}

// The store of a run: it reads the file only once used, and a run that neither killed nor showed the
// log writes nothing. Each kill is dated, saved at once, and shown by a viewer that listens.
TEST_F(KillLogOnDisk, TheStoreReadsWhenFirstUsedAndSavesEveryKill) {
    const std::string path = PathOf("poplog.ini");
    {
        KillLogStore unused(path, [] { return std::string("7.12.2026"); });
        EXPECT_TRUE(unused.Save());
    }
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing recorded, nothing written";

    Store(path, "[Windows]\r\nTotal=1\r\nTitle  1=old\r\nDate  1=1.1.2026\r\n");
    KillLogStore store(path, [] { return std::string("7.12.2026"); });
    int shown = 0;
    store.OnKill([&] { ++shown; });
    store.RecordKill("Win a Prize");
    EXPECT_EQ(shown, 1);
    const Entries both{{"old", "1.1.2026"}, {"Win a Prize", "7.12.2026"}};
    EXPECT_EQ(store.Log().Rows(), both);
    KillLog saved;
    LoadKillLogFromFile(path, saved);
    EXPECT_EQ(saved.Rows(), both);
}

TEST(KillLogClearSelected, RemovesTheTickedRowsOrSaysWhyThereIsNothingToDo) {
    KillLog log;
    EXPECT_EQ(log.ClearSelected(true), TickedRemoval::NoRows);
    for (const char* title : {"pop 1", "pop 2", "pop 3"}) log.Append({title, "d"});
    EXPECT_EQ(log.ClearSelected(false), TickedRemoval::NothingTicked);
    EXPECT_EQ(log.Count(), 3u);
    log.Row(1).ticked = true;
    EXPECT_EQ(log.ClearSelected(true), TickedRemoval::Done);
    EXPECT_EQ(log.Rows(), (Entries{{"pop 1", "d"}, {"pop 3", "d"}}));
}

}  // namespace
}  // namespace zapnix
