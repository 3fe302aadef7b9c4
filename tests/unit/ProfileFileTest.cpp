#include "rules/ProfileFile.h"

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "platform/FileIo.h"

namespace zapnix {
namespace {

using ProfileFileTest = TempFolderTest;

TEST_F(ProfileFileTest, WritesCreateOrChangeOnlyTheirLineAndLeaveNoTemporaryFile) {
    const std::string created = PathOf("new.ini");
    ASSERT_TRUE(WriteIniString(created, "WinList", "Count", "-1"));
    EXPECT_EQ(Load(created), "[WinList]\r\nCount=-1\r\n");
    EXPECT_EQ(ReadIniString(created, "winlist", "count"), "-1");
    EXPECT_EQ(ReadIniNumber(created, "WinList", "Count"), -1) << "numbers come back signed";

    const std::string kept = PathOf("keep.ini");
    Store(kept, "\xEF\xBB\xBF; odd\n[s]\r  k = 1 \n\t\n;x\n[t]\nj=2");
    ASSERT_TRUE(WriteIniString(kept, "s", "k", "3"));
    ASSERT_TRUE(WriteIniString(kept, "s", "n", "4"));
    EXPECT_EQ(Load(kept), "\xEF\xBB\xBF; odd\n[s]\rk=3\r\nn=4\r\n\t\n;x\n[t]\nj=2");
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"new.ini", "keep.ini"}));
}

// A file that exists but cannot be read is not an empty one: it is never written over.
TEST_F(ProfileFileTest, TellsMissingReadableAndUnreadableApartAndWritesOverNoUnreadFile) {
    Store(PathOf("file.ini"), "[s]\r\nk=v\r\n");
    ASSERT_TRUE(std::filesystem::create_directory(PathOf("folder.ini")));
    const struct {
        const char* name;
        FileState state;
        const char* value;
    } cases[] = {
        {"missing.ini", FileState::Missing, ""},
        {"file.ini", FileState::Ok, "v"},
        {"folder.ini", FileState::Unreadable, ""},
        {"missing-folder/x.ini", FileState::Missing, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedIni loaded = LoadIniFileWithState(PathOf(c.name));
        EXPECT_EQ(loaded.state, c.state);
        EXPECT_EQ(loaded.document.ReadString("s", "k"), c.value);
        EXPECT_EQ(LoadIniFile(PathOf(c.name)).has_value(), c.state != FileState::Unreadable);
    }
    for (const char* name : {"folder.ini", "missing-folder/x.ini"}) {
        SCOPED_TRACE(name);
        bool changed = false;
        EXPECT_FALSE(UpdateIniFile(PathOf(name), [&](IniDocument&) { changed = true; }));
        EXPECT_EQ(changed, std::string_view(name).starts_with("missing")) << "only a missing file is empty";
    }
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("folder.ini")));
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"file.ini", "folder.ini"}));
}

// A save killed half-way leaves its temporary file; the next save must not leave it behind.
TEST_F(ProfileFileTest, ASaveClearsWhatAKilledSaveLeftUnderTheTemporaryName) {
    const std::string path = PathOf("quorb.ini");
    ASSERT_EQ(TemporaryPathFor(path), PathOf("quorb.in~"));
    Store(PathOf("quorb.in~"), "[s]\r\nhalf a fi");
    ASSERT_TRUE(WriteIniString(path, "s", "k", "v"));
    EXPECT_EQ(Load(path), "[s]\r\nk=v\r\n");
    EXPECT_EQ(FolderNames(), std::set<std::string>{"quorb.ini"});
}

// Rows beyond what the document can back are never made: a "Total" of 2147483647 would otherwise
// create rows until memory ran out.
TEST(NumberedRows, ReadTotalRowsButNoMoreThanTheFileHasKeyLines) {
    constexpr std::array<std::string_view, 2> prefixes{"Title  ", "Date  "};
    const struct {
        const char* file;
        const char* rows;  // title/date; per row
    } cases[] = {
        {"[Windows]\r\nTotal=2\r\nTitle  1=a\r\nDate  2=b\r\nTitle  3=c\r\n", "a/;/b;"},
        {"[Windows]\r\nTotal=3\r\nTitle  1=a\r\n", "a/;/;"},  // a Total a little high: empty rows
        {"[Windows]\r\nTotal=1000\r\nTitle  1=a\r\n; comment\r\n\r\n", "a/;/;"},
        {"[Windows]\r\nTotal=2147483647\r\nTitle  1=a\r\n", "a/;/;"},
        {"[Windows]\r\nTotal=4294967295\r\nTitle  1=a\r\n", ""},     // -1 as the profile functions return it
        {"[Windows]\r\nTotal=4294967297\r\nTitle  1=a\r\n", "a/;"},  // wraps to 1
        {"[Windows]\r\nTotal=0\r\nTitle  1=a\r\n", ""},
        {"[Windows]\r\nTotal=many\r\nTitle  1=a\r\n", ""},
        {"[Windows]\r\nTitle  1=a\r\n", ""},
    };
    for (const auto& c : cases) {
        std::string rows;
        ReadNumberedRows(IniDocument::Parse(c.file), "windows", prefixes,
                         [&](std::span<std::string> cells) { rows += cells[0] + "/" + cells[1] + ";"; });
        EXPECT_EQ(rows, c.rows) << c.file;
    }
}

}  // namespace
}  // namespace zapnix
