#include <gtest/gtest.h>

#include "TempFolder.h"
#include "rules/ProfileFile.h"
#include "rules/RuleFile.h"

namespace zapnix {
namespace {

WindowKiller Rule(std::string title, std::string active = "Yes", std::string match = "Exact",
                  std::string caseSensitive = "No") {
    return WindowKiller{std::move(title), std::move(active), std::move(match), std::move(caseSensitive)};
}

RuleList Load(std::string_view bytes) {
    RuleList rules;
    LoadWinList(IniDocument::Parse(bytes), rules);
    return rules;
}

std::string Save(const RuleList& rules, std::string_view existing = "") {
    IniDocument profile = IniDocument::Parse(existing);
    SaveWinList(rules, profile);
    return profile.Serialize();
}

TEST(RuleFile, SavesTheDocumentedLayoutInRowOrder) {
    RuleList rules;
    rules.Append(Rule("first title", "Yes", "Begins", "No"));
    rules.Append(Rule("second title", "No", "Exact", "Yes"));
    EXPECT_EQ(Save(rules),
              "[Windows]\r\nTotal=2\r\n"
              "Title   1=first title\r\nActive  1=Yes\r\nMatch   1=Begins\r\nCase    1=No\r\n"
              "Title   2=second title\r\nActive  2=No\r\nMatch   2=Exact\r\nCase    2=Yes\r\n");
    EXPECT_EQ(Save(RuleList{}), "[Windows]\r\nTotal=0\r\n");
}

TEST(RuleFile, LoadsTotalRowsInFileOrderWithoutCheckingTheCells) {
    const RuleList rules = Load(
        "[Windows]\r\nTotal=2\r\n"
        "Title   2=second\r\nActive  2=maybe\r\nMatch   2=sometimes\r\nCase    2=\r\n"
        "Title   1=first\r\nActive  1=Yes\r\nMatch   1=Ends\r\nCase    1=Yes\r\n"
        "Title   3=third\r\nActive  3=Yes\r\n");
    ASSERT_EQ(rules.Count(), 2u);
    EXPECT_EQ(rules.Row(0), Rule("first", "Yes", "Ends", "Yes"));
    EXPECT_EQ(rules.Row(1), Rule("second", "maybe", "sometimes", ""));
    EXPECT_FALSE(rules.Row(0).ticked);
}

TEST(RuleFile, TotalBeyondTheStoredRowsGivesEmptyRowsThatSaveBackEmpty) {
    const RuleList rules = Load("[Windows]\r\nTotal=2\r\nTitle   1=only\r\nActive  1=Yes\r\n");
    ASSERT_EQ(rules.Count(), 2u);
    EXPECT_EQ(rules.Row(1), Rule("", "", "", ""));
    const std::string saved = Save(rules);
    EXPECT_NE(saved.find("Title   2=\r\nActive  2=\r\nMatch   2=\r\nCase    2=\r\n"), std::string::npos) << saved;
}

TEST(RuleFile, ShorterListLeavesTheOldRowKeysAndOtherSectionsAlone) {
    const std::string before =
        "[Windows]\r\nTotal=3\r\n"
        "Title   1=a\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n"
        "Title   2=b\r\nActive  2=Yes\r\nMatch   2=Exact\r\nCase    2=No\r\n"
        "Title   3=c\r\nActive  3=Yes\r\nMatch   3=Exact\r\nCase    3=No\r\n"
        "[Settings]\r\nInterval=5\r\n";
    RuleList rules;
    rules.Append(Rule("z", "No", "Ends", "Yes"));
    std::string expected = before;
    expected.replace(expected.find("Total=3"), 7, "Total=1");
    expected.replace(expected.find("Title   1=a"), 11, "Title   1=z");
    expected.replace(expected.find("Active  1=Yes"), 13, "Active  1=No");
    expected.replace(expected.find("Match   1=Exact"), 15, "Match   1=Ends");
    expected.replace(expected.find("Case    1=No"), 12, "Case    1=Yes");
    EXPECT_EQ(Save(rules, before), expected);
    EXPECT_EQ(Load(expected).Count(), 1u) << "rows above Total are never read again";
}

TEST(RuleFile, TitlesComeBackAsTheProfileReadRuleMakesThem) {
    RuleList rules;
    rules.Append(Rule("  padded  "));
    rules.Append(Rule("'quoted'"));
    rules.Append(Rule("a = b = c"));
    rules.Append(Rule(std::string(300, 'x')));
    rules.Append(Rule("two\r\nlines"));
    const RuleList back = Load(Save(rules));
    ASSERT_EQ(back.Count(), 5u);
    EXPECT_EQ(back.Row(0).title, "padded");
    EXPECT_EQ(back.Row(1).title, "quoted");
    EXPECT_EQ(back.Row(2).title, "a = b = c");
    EXPECT_EQ(back.Row(3).title, std::string(259, 'x'));
    // A line break cannot split the entry: the rule stays one rule and the rows after it stay in place.
    EXPECT_EQ(back.Row(4).title, "two  lines");
    EXPECT_EQ(back.Row(4).active, "Yes");
}

TEST(RuleFile, TenthRowKeysEndInTenWithoutLeadingZeros) {
    RuleList rules;
    for (int i = 1; i <= 10; ++i) rules.Append(Rule("rule " + std::to_string(i)));
    const std::string saved = Save(rules);
    EXPECT_NE(saved.find("Title   9=rule 9\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Title   10=rule 10\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("Title   09"), std::string::npos);
    EXPECT_EQ(Load(saved).Rows(), rules.Rows());
}

class RuleFileOnDisk : public TempFolderTest {
protected:
    std::string Path() const { return PathOf("quorb.ini"); }
    std::string Bytes() const { return Load(Path()); }
};

TEST_F(RuleFileOnDisk, SaveKeepsTheSettingsAndReplacesTheWholeFile) {
    std::ofstream(Path(), std::ios::binary) << "[Settings]\r\nInterval=5\r\nEnabled=1\r\n";
    RuleList rules;
    rules.Append(Rule("pop"));
    ASSERT_TRUE(SaveWinListToFile(Path(), rules));
    EXPECT_EQ(Bytes(),
              "[Settings]\r\nInterval=5\r\nEnabled=1\r\n"
              "[Windows]\r\nTotal=1\r\nTitle   1=pop\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n");
    EXPECT_EQ(FolderNames(), std::set<std::string>{"quorb.ini"}) << "no temporary file may be left behind";
}

// quorb.ini locked at start-up loads no rules; "Save and Exit" must not then write Total=0 over the
// user's rules, even when the lock has gone by then.
TEST_F(RuleFileOnDisk, RulesThatCouldNotBeReadAreNeverWrittenOver) {
    std::filesystem::create_directories(Path());
    const LoadedIni loaded = LoadIniFileWithState(Path());
    ASSERT_EQ(loaded.state, FileState::Unreadable);
    std::filesystem::remove(Path());
    const std::string stored = "[Windows]\r\nTotal=1\r\nTitle   1=keep me\r\n";
    std::ofstream(Path(), std::ios::binary) << stored;
    RuleList rules;
    LoadWinList(loaded.document, rules);
    rules.Append(Rule("added while the file was locked"));
    EXPECT_FALSE(SaveWinListToFile(Path(), rules, loaded.state));
    EXPECT_EQ(Bytes(), stored);
    EXPECT_TRUE(SaveWinListToFile(Path(), rules, FileState::Missing)) << "a missing file had no rules to lose";
    EXPECT_FALSE(SaveWinListToFile(PathOf("missing/quorb.ini"), rules)) << "a failed write is reported";
}

}  // namespace
}  // namespace zapnix
