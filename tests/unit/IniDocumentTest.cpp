#include "profile/IniDocument.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "IniCorpus.h"

namespace zapnix {
namespace {

using namespace std::string_literals;  // "..."s keeps the NULs of a literal

// The corpus that IniConformanceTest also holds against the system's functions; here in memory, and
// with bytes no C string can carry.
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

// An empty value reads as a missing key does; only HasKey tells them apart.
TEST(IniDocument, TellsAKeyWithAnEmptyValueFromAMissingOne) {
    const IniDocument document = IniDocument::Parse("[s]\r\nk=\r\n;c=1\r\nt\r\n[u]\r\nj=1\r\n");
    EXPECT_TRUE(document.HasKey(" S ", "K"));
    for (const auto& [section, key] : {std::pair{"s", ";c"}, {"s", "t"}, {"s", "j"}, {"v", "k"}})
        EXPECT_FALSE(document.HasKey(section, key)) << section << " " << key;
}

TEST(IniDocument, WritesTheBytesWindowsWrites) {
    for (const testing::WriteCase& c : testing::WriteCases()) {
        IniDocument document = IniDocument::Parse(c.file.value_or(""));
        for (const testing::IniWrite& w : c.writes) document.WriteString(w.section, w.key, w.value);
        EXPECT_EQ(document.Serialize(), c.windows) << "first write [" << c.writes[0].section << "] " << c.writes[0].key;
    }
}

TEST(IniDocument, SerialisesWhatItParsedByteForByte) {
    std::vector<std::string> files = {"", "  ; lead\r\n\t\v\r\n   [ s ]  trailing junk\r\n\tkey  =  value  \r\n"};
    const std::string alphabet = "[]=; \t\v\r\n\"'ab\0\xff"s;
    std::mt19937 random(20240601);
    for (int round = 0; round < 2000; ++round) {
        std::string& file = files.emplace_back(random() % 40, ' ');
        for (char& c : file) c = alphabet[random() % alphabet.size()];
    }
    for (const std::string& file : files) ASSERT_EQ(IniDocument::Parse(file).Serialize(), file);
}

// Files long enough that their lines and '=' signs fall anywhere in and across the words the parser
// scans at once: every key reads back as the line it was written on, ended by CR, LF or CR LF alike.
TEST(IniDocument, LongFilesReadAsTheLinesTheyWereMadeOf) {
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
                    file += text(3, " \t") + ";" + text(90, "ab= ") + end;  // a comment, '=' and all
                    break;
                case 2:
                    file += text(90, "abc ") + end;  // no '=': no key
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

// Many writes on one document give the bytes of the same writes done one at a time on the file.
TEST(IniDocument, ABatchOfWritesEqualsWritesThatReparseTheFileEachTime) {
    const std::vector<std::string> starts = {"", "[a]\r\nk=1\r\n; tail\r\n\r\n[b]\r\nx=1",
                                             "pre=1\n[A]\nK=1\n[a]\nk2=2\n  ; c\n[b]", "[a]\rk=1\rtext\r[c]\r"};
    const std::vector<std::string> sections = {"a", "A", " a ", "b", "", "[c", "x]y", "\tc", "new"};
    // Among the keys: names that make comments, headers of new or existing sections, or other keys.
    const std::vector<std::string> keys = {"k",     "K",  "k2",  "Title 1", "Title   1", ";c", "[h",  "[b]",
                                           "[new]", "=e", "\tt", "a=b",     "",          "x",  "n\ne"};
    const std::vector<std::string> values = {"v", "  v ", "\"q\"", "line\r\nbreak", "[z]", "", "=", ";"};

    std::mt19937 random(7);
    for (const std::string& start : starts) {
        IniDocument batch = IniDocument::Parse(start);
        std::string single = start;
        for (int step = 0; step < 300; ++step) {
            const std::string& section = sections[random() % sections.size()];
            const std::string& key = keys[random() % keys.size()];
            const std::string& value = values[random() % values.size()];
            batch.WriteString(section, key, value);
            IniDocument reparsed = IniDocument::Parse(single);
            reparsed.WriteString(section, key, value);
            single = reparsed.Serialize();
            ASSERT_EQ(batch.Serialize(), single) << "start [" << start << "] step " << step;
        }
        const IniDocument reread = IniDocument::Parse(single);
        for (const std::string& section : sections)
            for (const std::string& key : keys)
                ASSERT_EQ(batch.ReadString(section, key), reread.ReadString(section, key))
                    << "[" << section << "] " << key;
    }
}

}  // namespace
}  // namespace zapnix
