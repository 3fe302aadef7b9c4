#include <gtest/gtest.h>

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

TEST(KillLogFile, MissingOrOddTotalsGiveAnEmptyLogAndMissingKeysEmptyEntries) {
    EXPECT_EQ(Load("").Count(), 0u);
    EXPECT_EQ(Load("[Windows]\r\nTotal=-2\r\n").Count(), 0u);
    EXPECT_EQ(Load("[Windows]\r\nTotal=none\r\nTitle  1=x\r\n").Count(), 0u);
    const KillLog log = Load("[Windows]\r\nTotal=2\r\nTitle  1=only\r\n");
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log.Row(0), (KillLogEntry{"only", ""}));
    EXPECT_EQ(log.Row(1), (KillLogEntry{"", ""}));
}

TEST(KillLogFile, RuleKeysOfTheSameSectionNameAreNotKillLogKeys) {
    const KillLog log = Load("[Windows]\r\nTotal=1\r\nTitle   1=a rule, not a kill\r\n");
    EXPECT_EQ(log.Row(0).title, "") << "\"Title   1\" (three blanks) is not \"Title  1\"";
}

TEST(KillLogFile, TitlesThatLookLikeFileStructureStayInsideTheirValue) {
    KillLog log;
    log.Append({"[Settings]\r\nTotal=99\nTitle  1=injected", "d"});
    log.Append({"second", "d"});
    const KillLog back = Load(Save(log));
    ASSERT_EQ(back.Count(), 2u);
    EXPECT_EQ(back.Row(0).title, "[Settings]  Total=99 Title  1=injected");
    EXPECT_EQ(back.Row(1).title, "second");
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
