#include "rules/IniDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace zapnix {
namespace {

// Bytes of a literal that holds NULs.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

std::string Read(std::string_view bytes, std::string_view section, std::string_view key) {
    return IniDocument::Parse(bytes).ReadString(section, key);
}

std::uint32_t ReadNumber(std::string_view bytes, std::string_view section, std::string_view key) {
    return IniDocument::Parse(bytes).ReadNumber(section, key);
}

std::string Write(std::string_view bytes, std::string_view section, std::string_view key, std::string_view value) {
    IniDocument document = IniDocument::Parse(bytes);
    document.WriteString(section, key, value);
    return document.Serialize();
}

// ---------------------------------------------------------------------------------------------------
// Parsing keeps every byte

TEST(IniDocumentParse, SerialisesAwkwardFilesByteForByte) {
    const std::vector<std::string> files = {
        "",
        "\r\n",
        "[s]",
        "[s]\rk=1\rj=2\r",
        "[s]\nk=1\nj=2",
        "[s]\r\n\n\r\r\n\n\rk=1",
        "\n\r\n\r",
        "\xEF\xBB\xBF[s]\r\nk=1\r\n",
        Bytes("[s]\r\nk=a\0b\r\n\xff\xfe=\x80\r\n"),
        "  ; lead\r\n\t\v\r\n   [ s ]  trailing junk\r\n\tkey  =  value  \r\n",
    };
    for (const std::string& file : files) {
        EXPECT_EQ(IniDocument::Parse(file).Serialize(), file);
    }
}

TEST(IniDocumentParse, SerialisesRandomBytesByteForByte) {
    const std::string alphabet = "[]=; \t\v\r\n\"'ab";
    std::mt19937 random(20240601);
    for (int round = 0; round < 2000; ++round) {
        std::string file(random() % 40, ' ');
        for (char& c : file) {
            c = alphabet[random() % alphabet.size()];
        }
        ASSERT_EQ(IniDocument::Parse(file).Serialize(), file);
    }
}

// ---------------------------------------------------------------------------------------------------
// Finding a value

TEST(IniDocumentRead, EndsLinesAtCrLfCrOrLf) {
    EXPECT_EQ(Read("[s]\r\nk=1\r\nj=2\r\n", "s", "j"), "2");
    EXPECT_EQ(Read("[s]\nk=1\nj=2\n", "s", "j"), "2");
    EXPECT_EQ(Read("[s]\rk=1\rj=2\r", "s", "j"), "2");
    EXPECT_EQ(Read("[s]\rk=1\nj=2\r\nl=3", "s", "k"), "1");
    EXPECT_EQ(Read("[s]\rk=1\nj=2\r\nl=3", "s", "l"), "3");
    // LF CR is two line ends, not one
    EXPECT_EQ(Read("[s]\n\rk=1\n\r", "s", "k"), "1");
}

TEST(IniDocumentRead, ReadsALastLineWithoutLineEnd) {
    EXPECT_EQ(Read("[s]\r\nk=last", "s", "k"), "last");
    EXPECT_EQ(Read("[s]\r\nk=", "s", "k"), "");
}

TEST(IniDocumentRead, ComparesNamesWithoutLetterCase) {
    const std::string file = "[WinList]\r\nTitleA=x\r\n";
    EXPECT_EQ(Read(file, "winlist", "TITLEa"), "x");
    EXPECT_EQ(Read(file, "WINLIST", "titlea"), "x");
}

TEST(IniDocumentRead, SearchesOnlyTheFirstOfDuplicateSections) {
    const std::string file = "[s]\r\na=1\r\n[t]\r\nb=9\r\n[S]\r\na=2\r\nb=3\r\n";
    EXPECT_EQ(Read(file, "s", "a"), "1");
    EXPECT_EQ(Read(file, "s", "b"), "");
    EXPECT_EQ(Read(file, "t", "b"), "9");
}

TEST(IniDocumentRead, TakesTheFirstOfDuplicateKeys) {
    EXPECT_EQ(Read("[s]\r\nk=1\r\nK=2\r\n k =3\r\n", "s", "k"), "1");
}

TEST(IniDocumentRead, NeverReadsLinesBeforeTheFirstSection) {
    const std::string file = "k=1\r\n=2\r\n[s]\r\nj=3\r\n";
    EXPECT_EQ(Read(file, "", "k"), "");
    EXPECT_EQ(Read(file, "", ""), "");
    EXPECT_EQ(Read(file, "s", "k"), "");
    EXPECT_EQ(Read(file, "s", "j"), "3");
}

TEST(IniDocumentRead, TakesTheSectionNameUpToTheFirstBracket) {
    EXPECT_EQ(Read("[ spaced name ]junk\r\nk=1\r\n", "spaced name", "k"), "1");
    EXPECT_EQ(Read("[a]b]\r\nk=1\r\n", "a", "k"), "1");
    EXPECT_EQ(Read("[a]b]\r\nk=1\r\n", "a]b", "k"), "");
    EXPECT_EQ(Read(" \t[indented]\r\nk=1\r\n", "indented", "k"), "1");
    EXPECT_EQ(Read("[]\r\nk=1\r\n", "", "k"), "1");
    EXPECT_EQ(Read("[\t]\r\nk=1\r\n", "", "k"), "1");
}

TEST(IniDocumentRead, TakesAHeaderWithoutBracketToTheEndOfTheLine) {
    const std::string file = "[s]\r\nk=1\r\n[open  \r\nk=2\r\n";
    EXPECT_EQ(Read(file, "open", "k"), "2");
    EXPECT_EQ(Read(file, "s", "k"), "1");
}

TEST(IniDocumentRead, HidesCommentLinesEvenFromKeysNamedLikeThem) {
    const std::string file = "[s]\r\n;x=1\r\n  ;y=2\r\n#z=3\r\n";
    EXPECT_EQ(Read(file, "s", ";x"), "");
    EXPECT_EQ(Read(file, "s", "x"), "");
    EXPECT_EQ(Read(file, "s", ";y"), "");
    EXPECT_EQ(Read(file, "s", "#z"), "3");  // '#' starts no comment
}

TEST(IniDocumentRead, TreatsLinesWithoutEqualsAsNothing) {
    const std::string file = "[s]\r\njusttext\r\nk=1\r\n";
    EXPECT_EQ(Read(file, "s", "justtext"), "");
    EXPECT_EQ(Read(file, "s", "k"), "1");
}

TEST(IniDocumentRead, CountsBlanksInsideAKeyName) {
    const std::string file = "[s]\r\n\t Title   1 \v= a\r\nTitle 1=b\r\n";
    EXPECT_EQ(Read(file, "s", "Title   1"), "a");
    EXPECT_EQ(Read(file, "s", "Title 1"), "b");
}

TEST(IniDocumentRead, TrimsOnlySpacesFromTheCallersNames) {
    const std::string file = "[s]\r\nk=1\r\n";
    EXPECT_EQ(Read(file, "  s ", " k  "), "1");
    EXPECT_EQ(Read(file, "\ts", "k"), "");
    EXPECT_EQ(Read(file, "s", "k\t"), "");
}

TEST(IniDocumentRead, TrimsBlanksAndOnePairOfMatchingQuotes) {
    struct Case {
        std::string stored;
        std::string read;
    };
    const std::vector<Case> cases = {
        {" \t a  b \v", "a  b"},
        {"\"x\"", "x"},
        {"'x'", "x"},
        {"  \" x \"  ", " x "},
        {"\"x'", "\"x'"},
        {"'x\"", "'x\""},
        {"\"", "\""},
        {"'", "'"},
        {"''", ""},
        {"\"\"\"", "\""},
        {"\"\"a\"\"", "\"a\""},
        {"x\"", "x\""},
        {"\"x", "\"x"},
        {"a=b", "a=b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read("[s]\r\nk=" + c.stored + "\r\n", "s", "k"), c.read) << "stored: [" << c.stored << "]";
    }
}

TEST(IniDocumentRead, ReturnsAtMost259Characters) {
    const std::string x300(300, 'x');
    EXPECT_EQ(Read("[s]\r\nk=" + x300 + "\r\n", "s", "k"), std::string(259, 'x'));
    EXPECT_EQ(Read("[s]\r\nk=\"" + x300 + "\"\r\n", "s", "k"), std::string(259, 'x'));
    EXPECT_EQ(Read("[s]\r\nk=" + std::string(259, 'y') + "\r\n", "s", "k"), std::string(259, 'y'));
    EXPECT_EQ(Read("[s]\r\nk=" + std::string(260, 'y') + "\r\n", "s", "k"), std::string(259, 'y'));
    EXPECT_EQ(Read("[s]\r\nk='" + std::string(259, 'y') + "'\r\n", "s", "k"), std::string(259, 'y'));
}

TEST(IniDocumentRead, ReturnsEmptyForMissingSectionOrKey) {
    const std::string file = "[s]\r\nk=1\r\n";
    EXPECT_EQ(Read(file, "t", "k"), "");
    EXPECT_EQ(Read(file, "s", "j"), "");
    EXPECT_EQ(Read("", "s", "k"), "");
}

TEST(IniDocumentRead, KeepsBytesOpaque) {
    const std::string file = Bytes("[s]\r\nk=\xff\0z\x80\r\n");
    EXPECT_EQ(Read(file, "s", "k"), Bytes("\xff\0z\x80"));
    // A byte-order mark is not recognised: its bytes hide the first header.
    EXPECT_EQ(Read("\xEF\xBB\xBF[s]\r\nk=1\r\n", "s", "k"), "");
}

// ---------------------------------------------------------------------------------------------------
// Reading a number

TEST(IniDocumentNumber, ReadsLeadingDecimalDigitsWrappingModulo2To32) {
    struct Case {
        std::string stored;
        std::uint32_t number;
    };
    const std::vector<Case> cases = {
        {"42", 42u},
        {"-1", 4294967295u},
        {"+7", 7u},
        {"42A9", 42u},
        {"B42", 0u},
        {"4294967297", 1u},
        {"4294967295", 4294967295u},
        {"-2147483648", 2147483648u},
        {"99999999999", 1215752191u},
        {"", 0u},
        {"  12  ", 12u},
        {"\"13\"", 13u},
        {"0x10", 0u},
        {"- 5", 0u},
        {"--5", 0u},
        {"+", 0u},
        {"007", 7u},
        {"12 34", 12u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadNumber("[s]\r\nk=" + c.stored + "\r\n", "s", "k"), c.number) << "stored: [" << c.stored << "]";
    }
    EXPECT_EQ(ReadNumber("[s]\r\n", "s", "k"), 0u);
}

// ---------------------------------------------------------------------------------------------------
// Writing a string

TEST(IniDocumentWrite, ChangesOnlyTheLineOfAnExistingKey) {
    const std::string file = "; head\n\n[Rules]\n   Title = old  \n\t\n  ; note\r[Other]\nTitle=1";
    EXPECT_EQ(Write(file, "Rules", "Title", "new"), "; head\n\n[Rules]\nTitle=new\r\n\t\n  ; note\r[Other]\nTitle=1");
}

TEST(IniDocumentWrite, KeepsTheFilesSpellingOfTheNames) {
    EXPECT_EQ(Write("[WinList]\r\n  Count =1\r\n", "WINLIST", "count", "2"), "[WinList]\r\nCount=2\r\n");
    // A new key takes the caller's spelling.
    EXPECT_EQ(Write("[WinList]\r\n", "WINLIST", "NewKey", "2"), "[WinList]\r\nNewKey=2\r\n");
}

TEST(IniDocumentWrite, ReplacesTheFirstOfDuplicateKeysInTheFirstSection) {
    EXPECT_EQ(Write("[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "S", "K", "9"), "[s]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n");
}

TEST(IniDocumentWrite, InsertsAMissingKeyAfterTheLastKeyLineAboveTrailingLines) {
    IniDocument document = IniDocument::Parse("[a]\r\nk1=1\r\n; trailing\r\n\r\ntext\r\n[b]\r\nx=1\r\n");
    document.WriteString("a", "k2", "2");
    document.WriteString("a", "k3", "3");
    EXPECT_EQ(document.Serialize(), "[a]\r\nk1=1\r\nk2=2\r\nk3=3\r\n; trailing\r\n\r\ntext\r\n[b]\r\nx=1\r\n");
}

TEST(IniDocumentWrite, InsertsAfterTheHeaderOfASectionWithoutKeys) {
    EXPECT_EQ(Write("[a]\n; c\n\n[b]\n", "a", "k", "v"), "[a]\nk=v\r\n; c\n\n[b]\n");
}

TEST(IniDocumentWrite, InsertsIntoTheFirstOfDuplicateSections) {
    EXPECT_EQ(Write("[a]\r\nx=1\r\n[A]\r\ny=2\r\n", "a", "y", "3"), "[a]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n");
}

TEST(IniDocumentWrite, EndsALastLineWithoutLineEndBeforeAddingBelowIt) {
    EXPECT_EQ(Write("[a]\r\nk=1", "a", "j", "2"), "[a]\r\nk=1\r\nj=2\r\n");
    EXPECT_EQ(Write("[a]", "a", "k", "v"), "[a]\r\nk=v\r\n");
    EXPECT_EQ(Write("[a]\nk=1", "b", "k", "v"), "[a]\nk=1\r\n[b]\r\nk=v\r\n");
    EXPECT_EQ(Write("; only a comment", "s", "k", "v"), "; only a comment\r\n[s]\r\nk=v\r\n");
}

TEST(IniDocumentWrite, EndsAReplacedLastLineWithCrLf) {
    EXPECT_EQ(Write("[a]\r\nk=1", "a", "k", "2"), "[a]\r\nk=2\r\n");
}

TEST(IniDocumentWrite, AppendsAMissingSectionAtTheEnd) {
    EXPECT_EQ(Write("[a]\r\nk=1\r\n", "b", "k", "v"), "[a]\r\nk=1\r\n[b]\r\nk=v\r\n");
    EXPECT_EQ(Write("[a]\nk=1\n", "b", "k", "v"), "[a]\nk=1\n[b]\r\nk=v\r\n");
    EXPECT_EQ(Write("[a]\rk=1\r", "b", "k", "v"), "[a]\rk=1\r[b]\r\nk=v\r\n");
    EXPECT_EQ(Write("[a]\r\nk=1\r\n\r\n; end\r\n", "b", "k", "v"), "[a]\r\nk=1\r\n\r\n; end\r\n[b]\r\nk=v\r\n");
    EXPECT_EQ(Write("", "s", "k", "v"), "[s]\r\nk=v\r\n");
}

TEST(IniDocumentWrite, GivesLinesBeforeTheFirstSectionASectionOfTheirOwnName) {
    // The section "" of a prelude key is missing: a header for it is appended.
    EXPECT_EQ(Write("k=1\r\n", "", "k", "2"), "k=1\r\n[]\r\nk=2\r\n");
}

TEST(IniDocumentWrite, TrimsSpacesFromNamesAndWritesTheValueVerbatim) {
    const std::string written = Write("", "  s ", " k  ", " \t\"v\" ");
    EXPECT_EQ(written, "[s]\r\nk= \t\"v\" \r\n");
    EXPECT_EQ(Read(written, "s", "k"), "v");
}

TEST(IniDocumentWrite, TellsKeysWithOtherInnerBlanksApart) {
    EXPECT_EQ(Write("[s]\r\nTitle   1=a\r\n", "s", "Title 1", "b"), "[s]\r\nTitle   1=a\r\nTitle 1=b\r\n");
}

TEST(IniDocumentWrite, WritesKeysThatCanNeverBeReadAsTheyAreAsked) {
    // A key named like a comment becomes a comment line: it is never found, so each write adds one, and
    // a later new key still goes after the last real key line.
    IniDocument document = IniDocument::Parse("[s]\r\nk=1\r\n");
    document.WriteString("s", ";x", "1");
    document.WriteString("s", ";x", "2");
    document.WriteString("s", "j", "3");
    EXPECT_EQ(document.Serialize(), "[s]\r\nk=1\r\nj=3\r\n;x=2\r\n;x=1\r\n");
    EXPECT_EQ(document.ReadString("s", ";x"), "");
}

// ---------------------------------------------------------------------------------------------------
// Line breaks never add lines

TEST(IniDocumentLineBreaks, AValueCannotAddKeysOrSections) {
    const std::string file = "[s]\r\nk=1\r\n; keep\r\n[t]\r\nx=1\r\n";
    const std::string evil = "a\r\n[t]\r\nx=evil\nk2=2\rq";
    IniDocument document = IniDocument::Parse(file);
    document.WriteString("s", "k", evil);
    document.WriteString("s", "new", evil);
    document.WriteString("u", "k", evil);

    const std::string flat = "a  [t]  x=evil k2=2 q";
    EXPECT_EQ(document.Serialize(),
              "[s]\r\nk=" + flat + "\r\nnew=" + flat + "\r\n; keep\r\n[t]\r\nx=1\r\n[u]\r\nk=" + flat + "\r\n");
    // The document in memory and the file read back agree: nothing was injected.
    const IniDocument reread = IniDocument::Parse(document.Serialize());
    for (const IniDocument* d : std::initializer_list<const IniDocument*>{&document, &reread}) {
        EXPECT_EQ(d->ReadString("s", "k"), flat);
        EXPECT_EQ(d->ReadString("s", "k2"), "");
        EXPECT_EQ(d->ReadString("t", "x"), "1");
        EXPECT_EQ(d->ReadString("u", "k"), flat);
    }
}

TEST(IniDocumentLineBreaks, ANameCannotAddLines) {
    IniDocument document = IniDocument::Parse("[s]\r\nk=1\r\n");
    document.WriteString("s\r\n[t]", "a\nb", "1");
    document.WriteString("s", "c\rd", "2");
    EXPECT_EQ(document.Serialize(), "[s]\r\nk=1\r\nc d=2\r\n[s  [t]]\r\na b=1\r\n");
    EXPECT_EQ(document.ReadString("s", "c\rd"), "2");
    EXPECT_EQ(document.ReadString("t", "a\nb"), "");
}

// ---------------------------------------------------------------------------------------------------
// Many writes on one document give the bytes of the same writes done one at a time on the file

TEST(IniDocumentBatch, MatchesWritesThatReparseTheFileEachTime) {
    const std::vector<std::string> starts = {
        "",
        "[a]\r\nk=1\r\n; tail\r\n\r\n[b]\r\nx=1",
        "pre=1\n[A]\nK=1\n[a]\nk2=2\n  ; c\n[b]",
        "[a]\rk=1\rtext\r[c]\r",
    };
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
            single = Write(single, section, key, value);
            ASSERT_EQ(batch.Serialize(), single) << "start [" << start << "] step " << step;
        }
        const IniDocument reread = IniDocument::Parse(single);
        for (const std::string& section : sections) {
            for (const std::string& key : keys) {
                ASSERT_EQ(batch.ReadString(section, key), reread.ReadString(section, key))
                    << "[" << section << "] " << key;
            }
        }
    }
}

}  // namespace
}  // namespace zapnix
