#include "profile/ProfileFile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;
using ProfileFileTest = TempFolderTest;

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
        {"[Windows]\r\nTitle  1=a\r\n", ""},
    };
    for (const auto& c : cases) {
        std::string rows;
        ReadNumberedRows(IniDocument::Parse(c.file), "windows", prefixes,
                         [&](std::span<std::string> cells) { rows += cells[0] + "/" + cells[1] + ";"; });
        EXPECT_EQ(rows, c.rows) << c.file;
    }
    EXPECT_EQ(NumberedKey("Title   ", 10), "Title   10") << "no leading zeros";
}

// A list saved over a file walks the file's key lines in order while they come in the order written,
// and must still give the bytes of the same writes done one at a time, each on the file as the last
// one left it: over leftovers of a longer list, a shorter or longer one, keys out of order, duplicates,
// other spellings, comment tails, other sections and sections of the same name. Reads afterwards agree
// with the file read again.
TEST(NumberedRows, AListWrittenInOneBatchEqualsItsKeysWrittenOneAtATime) {
    const std::vector<std::string> extras = {"; note", "", "junk", "Foo=1", "[Other]", "[windows]", "TITLE  1=case",
                                             "  Date  2 = spaced", "Title  1=dup", "Total=7", "Date  9=far"};
    const std::vector<std::string> values = {"a", "", "b c", "12/6/2026", "x\r\ny"};
    const std::string ends[] = {"\r\n", "\n", "\r"};
    constexpr std::array<std::string_view, 2> prefixes{"Title  ", "Date  "};
    constexpr std::array<std::string_view, 2> unsplittable{"Title  ", "TITLE  "};  // not told apart: one key each row
    constexpr std::array<std::string_view, 2> unplain{" Title  ", "[Date  "};    // trimmed; a header
    std::mt19937 random(13);
    for (int round = 0; round < 400; ++round) {
        // The file as an earlier save of a list left it, then changed here and there by hand.
        std::vector<std::string> lines = {"[Windows]", "Total=" + std::to_string(random() % 6)};
        for (std::size_t row = 1, rows = random() % 6; row <= rows; ++row)
            for (const std::string_view prefix : prefixes)
                lines.push_back(NumberedKey(prefix, row) + "=" + values[random() % values.size()]);
        for (std::size_t n = random() % 4; n > 0; --n)
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(random() % (lines.size() + 1)),
                         extras[random() % extras.size()]);
        if (random() % 8 == 0) lines.erase(lines.begin());  // no section of that name, or a later one
        std::string file;
        for (const std::string& line : lines) file += line + ends[random() % 3];
        if (random() % 4 == 0 && !file.empty()) file.pop_back();

        std::vector<std::string> cells(2 * (random() % 7));
        for (std::string& cell : cells) cell = values[random() % values.size()];
        const unsigned pick = random() % 8;
        const auto& keys = pick == 0 ? unsplittable : pick == 1 ? unplain : prefixes;
        const std::string section = random() % 4 == 0 ? " windows" : "Windows";

        IniDocument batch = IniDocument::Parse(file);
        WriteNumberedRows(batch, section, keys, cells.size() / 2,
                          [&](std::size_t row, std::size_t column) { return std::string_view(cells[2 * row + column]); });
        std::string single = file;
        const auto write = [&](std::string_view key, std::string_view value) {
            IniDocument reparsed = IniDocument::Parse(single);
            reparsed.WriteString(section, key, value);
            single = reparsed.Serialize();
        };
        write("Total", std::to_string(cells.size() / 2));
        for (std::size_t row = 0; row < cells.size() / 2; ++row)
            for (std::size_t column = 0; column < 2; ++column) write(NumberedKey(keys[column], row + 1), cells[2 * row + column]);
        ASSERT_EQ(batch.Serialize(), single) << "round " << round << " file [" << file << "]";

        const IniDocument reread = IniDocument::Parse(single);
        for (const char* key : {"Total", "Title  1", "title  2", "Date  2", "Date  9", "Foo", "Title  6"})
            ASSERT_EQ(batch.ReadString("windows", key), reread.ReadString("windows", key)) << key << " round " << round;
    }
}

}  // namespace
}  // namespace zapnix
