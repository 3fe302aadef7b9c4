#include <gtest/gtest.h>

#include "TempFolder.h"
#include "profile/ProfileFile.h"
#include "rules/RuleFile.h"

namespace zapnix {
namespace {

RuleList Load(std::string_view bytes) {
    RuleList rules;
    LoadWinList(IniDocument::Parse(std::string(bytes)), rules);
    return rules;
}

std::string Save(const RuleList& rules, std::string_view existing = "") {
    IniDocument profile = IniDocument::Parse(std::string(existing));
    SaveWinList(rules, profile);
    return profile.Serialize();
}

// Cells are neither checked when saved nor when loaded.
TEST(RuleFile, SavesTheDocumentedLayoutInRowOrderAndLoadsItBack) {
    RuleList rules;
    rules.Append({"first title", "Yes", "Begins", "No"});
    rules.Append({"second title", "maybe", "sometimes", ""});
    const std::string saved = Save(rules);
    EXPECT_EQ(saved,
              "[Windows]\r\nTotal=2\r\n"
              "Title   1=first title\r\nActive  1=Yes\r\nMatch   1=Begins\r\nCase    1=No\r\n"
              "Title   2=second title\r\nActive  2=maybe\r\nMatch   2=sometimes\r\nCase    2=\r\n");
    EXPECT_EQ(Load(saved).Rows(), rules.Rows());
    EXPECT_EQ(Save(RuleList{}), "[Windows]\r\nTotal=0\r\n");
}

using RuleFileOnDisk = TempFolderTest;

// Only the rule keys change (those of rows above Total stay), the file is replaced whole. But quorb.ini locked at
// start-up loads no rules: "Save and Exit" must not then write Total=0 over the user's rules, even when the lock has
// gone by then.
TEST_F(RuleFileOnDisk, SavesOverNoRulesThatCouldNotBeRead) {
    const std::string path = PathOf("quorb.ini");
    const std::string stored =
        "[Settings]\r\nInterval=5\r\n[Windows]\r\nTotal=2\r\nTitle   1=keep me\r\nTitle   2=b\r\n";
    Store(path, stored);
    RuleList rules;
    rules.Append({"pop", "Yes", "Exact", "No"});
    EXPECT_FALSE(SaveWinListToFile(path, rules, FileState::Unreadable));
    EXPECT_EQ(Load(path), stored);

    ASSERT_TRUE(SaveWinListToFile(path, rules, FileState::Missing)) << "a missing file had no rules to lose";
    EXPECT_EQ(
        Load(path),
        "[Settings]\r\nInterval=5\r\n"
        "[Windows]\r\nTotal=1\r\nTitle   1=pop\r\nTitle   2=b\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n");
    EXPECT_EQ(FolderNames(), std::set<std::string>{"quorb.ini"}) << "no temporary file may be left behind";
    EXPECT_FALSE(SaveWinListToFile(PathOf("missing/quorb.ini"), rules)) << "a failed write is reported";
}

}  // namespace
}  // namespace zapnix
