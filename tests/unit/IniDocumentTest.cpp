#include "profile/IniDocument.h"
#include "profile/NumberedRows.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "IniCorpus.h"

namespace zapnix {
namespace {

using namespace std::string_literals;  // "..."s keeps the NULs of a literal

// The corpus, and bytes no C string can carry.
TEST(IniDocument, ReadsAnswerAsWindowsDoes) {
    std::vector<testing::ReadCase> cases = testing::ReadCases();
    cases.push_back({"[s]\r\nk=\xff\0z\x80\r\n"s, "s", "k", "\xff\0z\x80"s, 0, nullptr});
    for (const testing::ReadCase& c : cases) {
        SCOPED_TRACE("[" + c.section + "] " + c.key + " in " + c.file);
        const IniDocument document = IniDocument::Parse(c.file);
        EXPECT_EQ(document.ReadString(c.section, c.key), c.text);
        EXPECT_EQ(document.ReadNumber(c.section, c.key), c.number);
    }
}

TEST(IniDocument, WritesTheBytesWindowsWrites) {
    for (const testing::WriteCase& c : testing::WriteCases()) {
        IniDocument document = IniDocument::Parse(c.file.value_or(""));
        for (const testing::IniWrite& w : c.writes) document.WriteString(w.section, w.key, w.value);
        EXPECT_EQ(document.Serialize(), c.windows) << "first write [" << c.writes[0].section << "] " << c.writes[0].key;
    }
}

// Files long enough that their lines and '=' signs fall anywhere in and across the words the parser
// scans at once: every key reads back as the line it was written on, ended by CR, LF or CR LF alike, and
// the file, whatever bytes its other lines hold, serialises byte for byte as it was parsed.
TEST(IniDocument, LongFilesReadAsTheLinesTheyWereMadeOfAndSerialiseAsTheyWere) {
    std::mt19937 random(2026);
    const auto text = [&](std::size_t most, const std::string& letters) {
        std::string made(random() % (most + 1), ' ');
        for (char& c : made) c = letters[random() % letters.size()];
        return made;
    };
    const std::string ends[] = {"\r\n", "\n", "\r"};
    for (int round = 0; round < 200; ++round) {
        std::string file;
        std::vector<std::pair<std::string, std::string>> expected;  // "section/key" and the value read
        std::set<std::string> taken;
        std::string section = "s0";
        file += "[" + section + "]" + ends[random() % 3];
        for (int line = 0; line < 60; ++line) {
            const std::string end = ends[random() % 3];
            switch (random() % 6) {
                case 0:
                    section = std::to_string(line).append("t");
                    file += std::string(random() % 3, ' ') + "[" + section + "]" + text(70, "x=;") + end;
                    break;
                case 1:
                    file += text(3, " \t") + ";" + text(90, "ab= []\"'\v\xff\0"s) + end;  // a comment, '=' and all
                    break;
                case 2:
                    file += text(90, "abc ;]\"'\v\xff\0"s) + end;  // no '=': no key
                    break;
                default: {
                    const std::string key = std::to_string(line).append(text(80, "ab"));
                    const std::string value = text(100, "ab=;[").append("v");
                    file += text(3, " \t") + key + text(2, " ") + "=" + text(2, " ") + value + end;
                    if (taken.insert(section + "/" + key).second)
                        expected.push_back({section + "/" + key, value.substr(0, IniDocument::kMaxReadLength)});
                }
            }
        }
        const IniDocument document = IniDocument::Parse(file);
        ASSERT_EQ(document.Serialize(), file);
        for (const auto& [name, value] : expected) {
            const std::size_t slash = name.find('/');
            ASSERT_EQ(document.ReadString(name.substr(0, slash), name.substr(slash + 1)), value)
                << name << " in round " << round;
        }
    }
}

// The profile functions would write these raw, and the value or name would become lines of its own.
TEST(IniDocument, LineBreaksInValuesAndNamesNeverAddLines) {
    IniDocument document = IniDocument::Parse("[s]\r\nk=1\r\n; keep\r\n[t]\r\nx=1\r\n");
    const std::string evil = "a\r\n[t]\r\nx=evil\nk2=2\rq";
    const std::string flat = "a  [t]  x=evil k2=2 q";
    document.WriteString("s", "k", evil);
    document.WriteString("s", "new", evil);
    document.WriteString("u", "k", evil);
    document.WriteString("s\r\n[t]", "a\nb", "1");
    document.WriteString("s", "c\rd", "2");
    const std::string bytes = document.Serialize();
    EXPECT_EQ(bytes, "[s]\r\nk=" + flat + "\r\nnew=" + flat + "\r\nc d=2\r\n; keep\r\n[t]\r\nx=1\r\n[u]\r\nk=" + flat +
                         "\r\n[s  [t]]\r\na b=1\r\n");
    // The document in memory and the file read back agree: nothing was injected.
    for (const IniDocument& d : {document, IniDocument::Parse(bytes)}) {
        EXPECT_EQ(d.ReadString("s", "k"), flat);
        EXPECT_EQ(d.ReadString("s", "k2"), "");
        EXPECT_EQ(d.ReadString("t", "x"), "1");
        EXPECT_EQ(d.ReadString("s", "c\rd"), "2");
        EXPECT_EQ(d.ReadString("t", "a\nb"), "");
        EXPECT_EQ(d.ReadString("\ns\r", "c\rd"), "2");  // a name is read as it is written
    }
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
        {"[Windows]\r\nDate  1=d\r\nTotal=1\r\nTitle  1=t\r\n", "t/d;"},  // out of order
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

// A kill log saved shorter takes its entries beyond the new end with it: key lines named exactly a
// prefix and a number above the count, as NumberedKey writes numbers, letter case aside. Every other
// byte stays, in other sections and in later sections of the same name too; a key written next goes below
// the last key line that stayed.
TEST(NumberedRows, KeysOfRowsAboveTheCountGoWhenAsked) {
    const auto cells = [](std::size_t row, std::size_t column) {
        return std::string_view(column == 0 ? "t" : "d").substr(0, row + 1);
    };
    const struct {
        std::vector<std::string_view> prefixes;
        std::size_t count;
        std::string file;
        std::string saved;
    } cases[] = {
        {{"Title  ", "Date  "},
         1,
         "; log\r\n[Windows]\r\nTotal=4\r\nTitle  1=t\r\nDate  1=d\r\n; kept\r\nTitle  2=b\r\nDate  2=d\n"
         "title  3=c\rDATE  3=d\r\n\tTitle  4 = spaced\r\nTitle  010=zero\r\nTitle  +5=sign\r\nTitle 5=one blank\r\n"
         "Date  5x=x\r\nFoo=1\r\nTitle  99999999999999999999999=huge\r\nTitle  0=zero\r\n[Other]\r\nTitle  3=o\r\n"
         "[windows]\r\nTitle  3=second\r\n",
         "; log\r\n[Windows]\r\nTotal=1\r\nTitle  1=t\r\nDate  1=d\r\n; kept\r\nTitle  010=zero\r\nTitle  +5=sign\r\n"
         "Title 5=one blank\r\nDate  5x=x\r\nFoo=1\r\nTitle  0=zero\r\nNext=n\r\n[Other]\r\nTitle  3=o\r\n"
         "[windows]\r\nTitle  3=second\r\n"},
        // The last line of the file goes, line end or not; a cleared list keeps only its Total.
        {{"Title  ", "Date  "}, 0, "[Windows]\r\nTotal=1\r\nTitle  1=a\r\nDate  1=b", "[Windows]\r\nTotal=0\r\nNext=n\r\n"},
        // A key above the count with one prefix but within it with another is a row written: it stays.
        {{"Row", "Row1"}, 2, "[Windows]\r\nRow12=x\r\nRow13=y\r\nRow3=z\r\n",
         "[Windows]\r\nRow12=d\r\nTotal=2\r\nRow1=t\r\nRow11=d\r\nRow2=t\r\nNext=n\r\n"},
    };
    for (const auto& c : cases) {
        IniDocument document = IniDocument::Parse(c.file);
        WriteNumberedRows(document, "Windows", c.prefixes, c.count, cells, RowsAbove::Go);
        document.WriteString("Windows", "Next", "n");
        EXPECT_EQ(document.Serialize(), c.saved) << c.file;
    }
}

// A list saved over a file walks the file's key lines in order while they come in the order written,
// and must still give the bytes of the same writes done one at a time, each on the file as the last
// one left it: over leftovers of a longer list, a shorter or longer one, keys out of order, duplicates,
// other spellings, comment tails, other sections and sections of the same name. Reads afterwards agree
// with the file read again.
TEST(NumberedRows, AListWrittenInOneBatchEqualsItsKeysWrittenOneAtATime) {
    const std::vector<std::string> extras = {"; note", "", "junk", "Foo=1", "[Other]", "[windows]", "TITLE  1=case",
                                             "  Date  2 = spaced", "Title  1=dup", "Total=7", "Date  9=far",
                                             "title  8=small", "Title  05=zero", "Date  +4=sign", "DATE  3=case"};
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
        const RowsAbove rowsAbove = random() % 2 == 0 ? RowsAbove::Stay : RowsAbove::Go;
        const std::size_t count = cells.size() / 2;

        IniDocument batch = IniDocument::Parse(file);
        WriteNumberedRows(
            batch, section, keys, count,
            [&](std::size_t row, std::size_t column) { return std::string_view(cells[2 * row + column]); }, rowsAbove);
        std::string single = file;
        const auto write = [&](std::string_view key, std::string_view value) {
            IniDocument reparsed = IniDocument::Parse(single);
            reparsed.WriteString(section, key, value);
            single = reparsed.Serialize();
        };
        write("Total", std::to_string(count));
        for (std::size_t row = 0; row < count; ++row)
            for (std::size_t column = 0; column < 2; ++column) write(NumberedKey(keys[column], row + 1), cells[2 * row + column]);
        if (rowsAbove == RowsAbove::Go) {
            // The rows above the count that these files can hold, by name.
            IniDocument reparsed = IniDocument::Parse(single);
            reparsed.RemoveKeys(section, [&](std::string_view name) {
                for (std::size_t row = count + 1; row < 10; ++row)
                    for (const std::string_view prefix : keys)
                        if (IniDocument::SameName(name, NumberedKey(prefix, row))) return true;
                return false;
            });
            single = reparsed.Serialize();
        }
        ASSERT_EQ(batch.Serialize(), single) << "round " << round << " file [" << file << "]";

        const IniDocument reread = IniDocument::Parse(single);
        for (const char* key : {"Total", "Title  1", "title  2", "Date  2", "Date  9", "Foo", "Title  6"})
            ASSERT_EQ(batch.ReadString("windows", key), reread.ReadString("windows", key)) << key << " round " << round;
    }
}

}  // namespace
}  // namespace zapnix
