#include <gtest/gtest.h>

#include "TempFolder.h"

#include "killlog/KillLog.h"

namespace zapnix {
namespace {

KillLog Load(std::string_view bytes) {
    KillLog log;
    LoadKillLog(IniDocument::Parse(bytes), log);
    return log;
}

std::string Save(const KillLog& log, std::string_view existing = "") {
    IniDocument file = IniDocument::Parse(existing);
    SaveKillLog(log, file);
    return file.Serialize();
}

KillLog FiveEntries() {
    KillLog log;
    for (int i = 1; i <= 5; ++i) log.Append({"pop " + std::to_string(i), "06/12/2026"});
    return log;
}

std::vector<std::string> Titles(const KillLog& log) {
    std::vector<std::string> titles;
    for (const auto& entry : log.Rows()) titles.push_back(entry.title);
    return titles;
}

TEST(KillLogFile, UsesItsOwnTwoBlankKeyPrefixes) {
    KillLog log;
    log.Append({"Win a Prize", "06/12/2026"});
    log.Append({"Win a Prize", "06/12/2026"});
    EXPECT_EQ(Save(log),
              "[Windows]\r\nTotal=2\r\n"
              "Title  1=Win a Prize\r\nDate  1=06/12/2026\r\n"
              "Title  2=Win a Prize\r\nDate  2=06/12/2026\r\n");
}

TEST(KillLogFile, LoadsTotalEntriesInOrderAndLeavesHigherKeysAlone) {
    const std::string file =
        "[Windows]\r\nTotal=2\r\nTitle  1=first\r\nDate  1=d1\r\nTitle  2=second\r\nDate  2=d2\r\n"
        "Title  3=third\r\nDate  3=d3\r\n";
    KillLog log = Load(file);
    EXPECT_EQ(Titles(log), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(log.Row(1).date, "d2");
    log.Clear();
    std::string expected = file;
    expected.replace(expected.find("Total=2"), 7, "Total=0");
    EXPECT_EQ(Save(log, file), expected) << "a cleared log keeps the old entries' keys, unread";
    EXPECT_EQ(Load(expected).Count(), 0u);
}

TEST(KillLogFile, RuleKeysOfTheSameSectionNameAreNotKillLogKeys) {
    const KillLog log = Load("[Windows]\r\nTotal=1\r\nTitle   1=a rule, not a kill\r\n");
    EXPECT_EQ(log.Row(0).title, "") << "\"Title   1\" (three blanks) is not \"Title  1\"";
}

// poplog.ini locked by a scanner at the first kill: the kills stay in memory, every save retries the
// load, and once it succeeds the stored entries come first; nothing stored is ever written over.
using KillLogOnDisk = TempFolderTest;

TEST_F(KillLogOnDisk, KeepsKillsInMemoryUntilTheStoredEntriesCanBeRead) {
    const std::string path = PathOf("poplog.ini");
    std::filesystem::create_directory(path);  // exists, cannot be read as a file
    const auto store = [&](const std::string& bytes) {
        std::filesystem::remove(path);
        Store(path, bytes);
    };

    KillLog log;
    KillLogFile file(path);
    EXPECT_EQ(file.Load(log), FileState::Unreadable);
    log.Append({"kill 1", "d"});
    EXPECT_FALSE(file.Save(log));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(Titles(log), std::vector<std::string>{"kill 1"});

    store("[Windows]\r\nTotal=2\r\nTitle  1=old 1\r\nTitle  2=old 2\r\n");
    log.Append({"kill 2", "d"});
    ASSERT_TRUE(file.Save(log));
    const std::vector<std::string> all{"old 1", "old 2", "kill 1", "kill 2"};
    EXPECT_EQ(Titles(log), all);
    KillLog reloaded;
    LoadKillLogFromFile(path, reloaded);
    EXPECT_EQ(Titles(reloaded), all);

    // Read once is read: a later save merges nothing again.
    ASSERT_TRUE(file.Save(log));
    EXPECT_EQ(Titles(log), all);
}

TEST(KillLogClearSelected, RemovesExactlyTheTickedRowsKeepingTheOrder) {
    KillLog log = FiveEntries();
    log.Row(1).ticked = true;
    log.Row(2).ticked = true;
    EXPECT_EQ(log.ClearSelected(true), TickedRemoval::Done);
    EXPECT_EQ(Titles(log), (std::vector<std::string>{"pop 1", "pop 4", "pop 5"}));

    log.Row(0).ticked = log.Row(1).ticked = log.Row(2).ticked = true;
    EXPECT_EQ(log.ClearSelected(true), TickedRemoval::Done);
    EXPECT_EQ(log.Count(), 0u) << "adjacent ticked rows all go";
}

TEST(KillLogClearSelected, SaysWhyWhenThereIsNothingToDo) {
    KillLog empty;
    EXPECT_EQ(empty.ClearSelected(true), TickedRemoval::NoRows);
    KillLog log = FiveEntries();
    EXPECT_EQ(log.ClearSelected(false), TickedRemoval::NothingTicked);
    EXPECT_EQ(log.Count(), 5u);
    // Ticked and unticked again: no message, nothing removed.
    EXPECT_EQ(log.ClearSelected(true), TickedRemoval::Done);
    EXPECT_EQ(log.Count(), 5u);
}

}  // namespace
}  // namespace zapnix
