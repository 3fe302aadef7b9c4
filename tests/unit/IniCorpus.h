#pragma once
// What the Windows profile functions answer, file by file. The engine is held to these answers natively
// (IniDocumentTest) and, beside the system's own functions, under Wine (IniConformanceTest). Where Wine
// is known to answer otherwise than Windows, `wineDiffers` names the difference.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zapnix::testing {

struct ReadCase {
    std::string file;
    std::string section;
    std::string key;
    std::string text;         // GetPrivateProfileStringA, default "", buffer of 260
    std::uint32_t number;     // GetPrivateProfileIntA, default 0
    const char* wineDiffers;  // nullptr when Wine answers as Windows does
};

inline const std::vector<ReadCase>& ReadCases() {
    const std::string x300(300, 'x');
    const char* const kWineSpaces = "trims every kind of white space from the caller's names";
    const char* const kWineBracket = "ends a section name at the last ']'";
    const char* const kWineOpen = "reads a header line without ']' as a key line";
    const char* const kWineEmpty = "keeps a section \"\" of its own for the lines before the first header";
    static const std::vector<ReadCase> cases = {
        // Names and sections
        {"[s]\r\nk=1\r\nK=2\r\n[S]\r\nj=3\r\n", "S", "K", "1", 1, nullptr},
        {"[s]\r\nk=1\r\nK=2\r\n[S]\r\nj=3\r\n", "s", "j", "", 0, nullptr},
        {"[s]\r\nk=1\r\n", "  s ", " k  ", "1", 1, nullptr},
        {"[s]\r\nk=1\r\n", "\ts", "k", "", 0, kWineSpaces},
        {"[s]\r\nk=1\r\n", "s", "k\t", "", 0, kWineSpaces},
        {"[s]\r\nk=1\r\n", "t", "k", "", 0, nullptr},
        {"[s]\r\nk=1\r\n", "s", "j", "", 0, nullptr},
        {"", "s", "k", "", 0, nullptr},
        {"[s]\r\n\t Title   1 \v= a\r\nTitle 1=b\r\n", "s", "Title   1", "a", 0, nullptr},
        {"[s]\r\n\t Title   1 \v= a\r\nTitle 1=b\r\n", "s", "Title 1", "b", 0, nullptr},
        {"[ spaced ]junk\r\nk=7\r\n", "spaced", "k", "7", 7, nullptr},
        {" \t[indented]\r\nk=7\r\n", "indented", "k", "7", 7, nullptr},
        {"[a]b]\r\nk=1\r\n", "a", "k", "1", 1, kWineBracket},
        {"[a]b]\r\nk=1\r\n", "a]b", "k", "", 0, kWineBracket},
        {"[open\r\nk=1\r\n", "open", "k", "1", 1, kWineOpen},
        {"[s]\r\n[open\r\nk=1\r\n", "s", "k", "", 0, kWineOpen},
        {"k=1\r\n[s]\r\n", "", "k", "", 0, "reads the lines before the first header as the section \"\""},
        {"[]\r\nk=1\r\n", "", "k", "1", 1, kWineEmpty},
        {"[\t]\r\nk=1\r\n", "", "k", "1", 1, kWineEmpty},
        {"[s]\r\n;x=1\r\n", "s", ";x", "", 0, "finds keys beginning with ';'"},
        {"[s]\r\n  ;x=1\r\n", "s", "x", "", 0, nullptr},
        {"[s]\r\n  ;x=1\r\n", "s", ";x", "", 0, "finds keys beginning with ';'"},
        {"[s]\r\n#x=1\r\n", "s", "#x", "1", 1, nullptr},
        {"[s]\r\njusttext\r\nk=2\r\n", "s", "justtext", "", 0, nullptr},
        {"[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1", 1, nullptr},
        // Line ends and bytes
        {"[s]\rk=1\rj=2\r", "s", "j", "2", 2, nullptr},
        {"[s]\nk=1\nj=3", "s", "j", "3", 3, nullptr},
        {"[s]\n\rk=4\n\r", "s", "k", "4", 4, nullptr},
        {"[s]\rk=1\nj=2\r\nl=5", "s", "l", "5", 5, nullptr},
        {"[s]\r\nk=last", "s", "k", "last", 0, nullptr},
        {"[s]\r\nk=\xff\x80z\r\n", "s", "k", "\xff\x80z", 0, nullptr},
        {"\xEF\xBB\xBF[s]\r\nk=1\r\n", "s", "k", "", 0, "recognises a UTF-8 byte-order mark"},
        {"[s]\r\nk=a\fb\f\r\n", "s", "k", "a\fb\f", 0, "trims form feeds from values as white space"},
        {"[s]\r\n\fk=1\r\n", "s", "k", "", 0, "trims form feeds from key names as white space"},
        // Values: blanks, quotes, length
        {"[s]\r\nk= \t a  b \v\r\n", "s", "k", "a  b", 0, nullptr},
        {"[s]\r\nk=\"x\"\r\n", "s", "k", "x", 0, nullptr},
        {"[s]\r\nk='9'\r\n", "s", "k", "9", 9, nullptr},
        {"[s]\r\nk=  \" x \"  \r\n", "s", "k", " x ", 0, nullptr},
        {"[s]\r\nk=\"x'\r\n", "s", "k", "\"x'", 0, nullptr},
        {"[s]\r\nk=\"\r\n", "s", "k", "\"", 0, nullptr},
        {"[s]\r\nk=''\r\n", "s", "k", "", 0, nullptr},
        {"[s]\r\nk=\"\"\"\r\n", "s", "k", "\"", 0, nullptr},
        {"[s]\r\nk=\"\"a\"\"\r\n", "s", "k", "\"a\"", 0, nullptr},
        {"[s]\r\nk=x\"\r\n", "s", "k", "x\"", 0, nullptr},
        {"[s]\r\nk=a=b\r\n", "s", "k", "a=b", 0, nullptr},
        {"[s]\r\nk=" + x300 + "\r\n", "s", "k", std::string(259, 'x'), 0, nullptr},
        {"[s]\r\nk=\"" + x300 + "\"\r\n", "s", "k", std::string(259, 'x'), 0, nullptr},
        {"[s]\r\nk='" + std::string(258, 'x') + "'\r\n", "s", "k", std::string(258, 'x'), 0, nullptr},
        {"[s]\r\nk='" + std::string(259, 'x') + "'\r\n", "s", "k", std::string(259, 'x'), 0,
         "drops one character too many when the unquoted value just fills the buffer"},
        // Numbers
        {"[s]\r\nk=-1\r\n", "s", "k", "-1", 4294967295u, nullptr},
        {"[s]\r\nk=+7\r\n", "s", "k", "+7", 7, nullptr},
        {"[s]\r\nk=\"13\"\r\n", "s", "k", "13", 13, nullptr},
        {"[s]\r\nk=42A9\r\n", "s", "k", "42A9", 42, nullptr},
        {"[s]\r\nk=B42\r\n", "s", "k", "B42", 0, nullptr},
        {"[s]\r\nk=4294967297\r\n", "s", "k", "4294967297", 1, nullptr},
        {"[s]\r\nk=-2147483648\r\n", "s", "k", "-2147483648", 2147483648u, nullptr},
        {"[s]\r\nk=  12  \r\n", "s", "k", "12", 12, nullptr},
        {"[s]\r\nk=- 5\r\n", "s", "k", "- 5", 0, nullptr},
        {"[s]\r\nk=12 34\r\n", "s", "k", "12 34", 12, nullptr},
        // Whether Windows reads hexadecimal is unverified; the engine reads leading decimal digits.
        {"[s]\r\nk=0x10\r\n", "s", "k", "0x10", 0, "reads a \"0x\" prefix as hexadecimal"},
    };
    return cases;
}

struct IniWrite {
    std::string section;
    std::string key;
    std::string value;
};

struct WriteCase {
    std::optional<std::string> file;  // nullopt: there is no file yet
    std::vector<IniWrite> writes;
    std::string windows;      // the file after WritePrivateProfileStringA on Windows
    const char* wineDiffers;  // nullptr when Wine writes the same bytes
};

inline const std::vector<WriteCase>& WriteCases() {
    const char* const kRegenerates =
        "rewrites the whole file: drops blank lines and indentation, ends every line in CRLF";
    const char* const kBelowTail = "inserts a new key below the comment and blank lines that end its section";
    const char* const kLeadingBlanks = "strips leading blanks of the value (and keeps trailing spaces of names)";
    const char* const kPrelude = "reads the lines before the first header as the section \"\"";
    static const std::vector<WriteCase> cases = {
        {std::nullopt, {{"s", "k", "v"}}, "[s]\r\nk=v\r\n", nullptr},
        {"", {{"s", "k", "v"}}, "[s]\r\nk=v\r\n", nullptr},
        {"[s]\r\nk=1\r\n", {{"s", "k", "2"}}, "[s]\r\nk=2\r\n", nullptr},
        {"[WinList]\r\n  Count =1\r\n", {{"WINLIST", "count", "2"}}, "[WinList]\r\nCount=2\r\n", nullptr},
        {"[WinList]\r\n", {{"WINLIST", "NewKey", "2"}}, "[WinList]\r\nNewKey=2\r\n", nullptr},
        {"[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", {{"S", "K", "9"}}, "[s]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n", nullptr},
        {"[a]\r\nx=1\r\n[A]\r\ny=2\r\n", {{"a", "y", "3"}}, "[a]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n", nullptr},
        {"[a]\r\nk=1\r\n[b]\r\nk=2\r\n",
         {{"a", "n", "3"}, {"a", "m", "4"}},
         "[a]\r\nk=1\r\nn=3\r\nm=4\r\n[b]\r\nk=2\r\n",
         nullptr},
        {"[a]\r\nk=1", {{"a", "j", "2"}}, "[a]\r\nk=1\r\nj=2\r\n", nullptr},
        {"[a]\r\nk=1", {{"a", "k", "2"}}, "[a]\r\nk=2\r\n", nullptr},
        {"[a]", {{"a", "k", "v"}}, "[a]\r\nk=v\r\n", nullptr},
        {"[a]\nk=1", {{"a", "k", "1"}}, "[a]\nk=1\r\n", kRegenerates},  // the same value: still rewritten
        {"[a]\nk=1\n", {{"a", "k", "1"}}, "[a]\nk=1\r\n", kRegenerates},
        {"[s]\n\rk=4\n\r", {{"s", "j", "5"}}, "[s]\n\rk=4\nj=5\r\n\r", kRegenerates},  // LF CR: two line ends
        {"[a]\r\nk=1", {{"b", "k", "v"}}, "[a]\r\nk=1\r\n[b]\r\nk=v\r\n", nullptr},
        {"[a]\r\nk=1\r\n", {{"b", "k", "v"}}, "[a]\r\nk=1\r\n[b]\r\nk=v\r\n", nullptr},
        {"[a]\nk=1", {{"b", "k", "v"}}, "[a]\nk=1\r\n[b]\r\nk=v\r\n", kRegenerates},
        {"[a]\rk=1\r", {{"b", "k", "v"}}, "[a]\rk=1\r[b]\r\nk=v\r\n", kRegenerates},
        {"; only a comment", {{"s", "k", "v"}}, "; only a comment\r\n[s]\r\nk=v\r\n", kRegenerates},
        {"[s]\r\nTitle   1=a\r\n", {{"s", "Title 1", "b"}}, "[s]\r\nTitle   1=a\r\nTitle 1=b\r\n", nullptr},
        {"[s]\r\nk=1\r\n", {{"s", "k", "\"  quoted  \""}}, "[s]\r\nk=\"  quoted  \"\r\n", nullptr},
        {"; head\n\n[Rules]\n   Title = old  \n\t\n  ; note\r[Other]\nTitle=1",
         {{"Rules", "Title", "new"}},
         "; head\n\n[Rules]\nTitle=new\r\n\t\n  ; note\r[Other]\nTitle=1",
         kRegenerates},
        {"[a]\r\nk=1\r\n\r\n", {{"b", "k", "v"}}, "[a]\r\nk=1\r\n\r\n[b]\r\nk=v\r\n", kRegenerates},
        {"[a]\r\nk1=1\r\n; trailing\r\n\r\n[b]\r\nx=1\r\n",
         {{"a", "k2", "2"}, {"a", "k3", "3"}},
         "[a]\r\nk1=1\r\nk2=2\r\nk3=3\r\n; trailing\r\n\r\n[b]\r\nx=1\r\n",
         kBelowTail},
        {"[a]\r\n; c\r\n[b]\r\n", {{"a", "k", "v"}}, "[a]\r\nk=v\r\n; c\r\n[b]\r\n", kBelowTail},
        {"[s]\r\njust\r\n", {{"s", "just", "2"}}, "[s]\r\njust=2\r\njust\r\n", "takes a line without '=' for a key"},
        // A key named like a comment is never found again: each write adds a line, below the last key.
        {"[s]\r\nk=1\r\n",
         {{"s", ";x", "1"}, {"s", ";x", "2"}, {"s", "j", "3"}},
         "[s]\r\nk=1\r\nj=3\r\n;x=2\r\n;x=1\r\n",
         "takes a line beginning with ';' for a key"},
        {std::nullopt, {{"  s ", " k  ", " \t\"v\" "}}, "[s]\r\nk= \t\"v\" \r\n", kLeadingBlanks},
        {"[s]\r\nk=1\r\n", {{"s", "k", "  lead"}}, "[s]\r\nk=  lead\r\n", kLeadingBlanks},
        {"k=1\r\n", {{"", "k", "2"}}, "k=1\r\n[]\r\nk=2\r\n", kPrelude},
    };
    return cases;
}

}  // namespace zapnix::testing
