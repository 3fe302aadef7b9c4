// Profile files as the profile functions read and write them, in Unicode too, as text editors offer to save
// them (UTF-16 through the ANSI code page; here the tests' code page, ISO 8859-1); what cannot be read is
// never written over.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "TempFolder.h"
#include "profile/ProfileEncoding.h"
#include "profile/ProfileFile.h"
#include "rules/RuleFile.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;
using UnicodeProfile = TempFolderTest;
using ProfileFileTest = TempFolderTest;

// `text` as a UTF-16 little-endian file with its mark; `text` is UTF-8 here, for readable tests.
std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

const std::u16string kRules =
    u"; r\u00e8gles de Zapnix \u2014 \u65e5\u672c\r\n"  // a comment the code page cannot hold
    u"[Windows]\r\n"
    u"Total=2\r\n"
    u"Title   1=Caf\u00e9 Prize\r\n"
    u"Active  1=Yes\r\n"
    u"Match   1=Begins\r\n"
    u"Case    1=No\r\n"
    u"Title   2=\u65e5 offer\r\n"  // a title it cannot hold either
    u"Active  2=No\r\n"
    u"Match   2=Exact\r\n"
    u"Case    2=Yes\r\n"
    u"[Other]\n"  // a line end of another kind
    u"Keep=\u20ac\r\n";

// A file saved as Unicode loads its rules, and a save of the same rules gives back the very same file:
// still UTF-16, every character kept, even those the code page turns into '?'.
TEST_F(UnicodeProfile, LoadsItsRulesAndSavesThemBackInUnicodeLosingNoCharacter) {
    const std::string path = PathOf("quorb.ini");
    Store(path, Utf16File(kRules));
    const LoadedIni loaded = LoadIniFileWithState(path);
    ASSERT_EQ(loaded.state, FileState::Ok);
    RuleList rules;
    LoadWinList(loaded.document, rules);
    ASSERT_EQ(rules.Count(), 2u);
    EXPECT_EQ(rules.Row(0).title, "Caf\xE9 Prize") << "in the ANSI code page";
    EXPECT_EQ(rules.Row(1).title, "? offer");
    EXPECT_EQ(rules.Row(1).caseSensitive, "Yes");

    ASSERT_TRUE(SaveWinListToFile(path, rules));
    EXPECT_EQ(Load(path), Utf16File(kRules));

    // A changed rule is written in Unicode too; what the change did not touch stays as it was.
    rules.SetCells(0, {"Caf\xE9 Prize!", "Yes", "Contains", "No"});
    rules.Append({"new", "Yes", "Exact", "No"});
    ASSERT_TRUE(SaveWinListToFile(path, rules));
    std::u16string expected = kRules;
    expected.replace(expected.find(u"Total=2"), 7, u"Total=3");
    expected.replace(expected.find(u"Prize"), 5, u"Prize!");
    expected.replace(expected.find(u"Begins"), 6, u"Contains");
    const std::u16string added = u"Title   3=new\r\nActive  3=Yes\r\nMatch   3=Exact\r\nCase    3=No\r\n";
    expected.insert(expected.find(u"[Other]"), added);
    EXPECT_EQ(Load(path), Utf16File(expected));
}

// A file of another encoding cannot be read as the profile functions read files: it is reported, and
// neither the rules nor a single setting is ever written over it.
TEST_F(UnicodeProfile, AFileInAnotherEncodingIsUnreadableAndNeverWritten) {
    const std::string bigEndian = std::string("\xFE\xFF\0[", 4) + std::string("\0W", 2);
    const std::string utf8 = "\xEF\xBB\xBF[Windows]\r\nTotal=1\r\n";
    const std::string utf32 = std::string("\xFF\xFE\0\0[\0\0\0", 8);
    const std::string oddUtf16 = Utf16File(u"[Windows]\r\n") + "x";
    for (const std::string& bytes : {bigEndian, utf8, utf32, oddUtf16}) {
        const std::string path = PathOf("quorb.ini");
        Store(path, bytes);
        const LoadedIni loaded = LoadIniFileWithState(path);
        EXPECT_EQ(loaded.state, FileState::Unreadable);
        EXPECT_EQ(loaded.why, "it is in a text encoding that Zapnix cannot read (save it as ANSI or Unicode)");
        EXPECT_FALSE(WriteIniString(path, "Settings", "Enabled", "1"));
        EXPECT_FALSE(SaveIniFile(path, IniDocument::Parse("[Windows]\r\nTotal=0\r\n")));
        EXPECT_EQ(Load(path), bytes);
    }
}

// A file that exists but cannot be read is not an empty one: it is never written over. A file this
// user may not write (no write bit: read-only even to root) stays as it was.
TEST_F(ProfileFileTest, WritesOnlyOverAFileItCouldReadAndMayWrite) {
    Store(PathOf("file.ini"), "[s]\r\nk=v\r\nn=-1\r\n");
    EXPECT_EQ(ReadIniNumber(PathOf("file.ini"), "s", "n"), -1) << "numbers come back signed";
    Store(PathOf("readonly.ini"), "[s]\r\nk=v\r\n");
    fs::permissions(PathOf("readonly.ini"), fs::perms::owner_read | fs::perms::group_read);
    ASSERT_TRUE(fs::create_directory(PathOf("folder.ini")));
    const struct {
        const char* name;
        FileState state;
        const char* value;
        bool changed;  // the write got the document to change
        bool written;
    } cases[] = {
        {"missing.ini", FileState::Missing, "", true, true},
        {"file.ini", FileState::Ok, "v", true, true},
        {"readonly.ini", FileState::Ok, "v", true, false},
        {"folder.ini", FileState::Unreadable, "", false, false},
        {"missing-folder/x.ini", FileState::Missing, "", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedIni loaded = LoadIniFileWithState(PathOf(c.name));
        EXPECT_EQ(loaded.state, c.state);
        EXPECT_EQ(loaded.document.ReadString("s", "k"), c.value);
        bool changed = false;
        const auto change = [&](IniDocument& document) {
            changed = true;
            document.WriteString("s", "k", "w");
        };
        EXPECT_EQ(UpdateIniFile(PathOf(c.name), change), c.written);
        EXPECT_EQ(changed, c.changed);
        EXPECT_EQ(ReadIniString(PathOf(c.name), "s", "k"), c.written ? "w" : c.value);
    }
    EXPECT_TRUE(fs::is_directory(PathOf("folder.ini")));
    fs::permissions(PathOf("readonly.ini"), fs::perms::owner_write, fs::perm_options::add);  // so that it can go
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"file.ini", "folder.ini", "missing.ini", "readonly.ini"}));
}

// Two lines the code page makes alike keep their own characters, in their order.
TEST(Utf16Files, LinesTheCodePageMakesAlikeKeepTheirOwnCharacters) {
    const std::string original = Utf16File(u";\u65e5\r\n;\u672c\r\n[s]\r\nk=v\r\n");
    const std::string ansi = AnsiOfUtf16File(original);
    EXPECT_EQ(ansi, ";?\r\n;?\r\n[s]\r\nk=v\r\n");
    EXPECT_EQ(Utf16FileOf(ansi, original), original);
    EXPECT_EQ(Utf16FileOf(";?\r\n[s]\r\nk=w\r\n;?", original), Utf16File(u";\u65e5\r\n[s]\r\nk=w\r\n;\u672c"));
}

}  // namespace
}  // namespace zapnix
