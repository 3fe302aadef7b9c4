// The profile-file engine against the system's own profile functions, file by file.
//
// Every case states what Windows answers. The engine must give exactly that. The system functions are
// called as well and must agree, except where Wine (which these tests run under) is known to differ
// from Windows: such a case names the difference in `wineDiffers`, and only the engine is held to the
// Windows answer. A case where the engine deliberately differs from both (a value with a line break)
// says so in `engineDiffers`.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileIo.h"
#include "rules/IniDocument.h"
#include "rules/ProfileFile.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;

// Bytes of a literal that holds NULs or odd bytes.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

std::string Visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Long values shortened for the notes about Wine.
std::string Brief(const std::string& bytes) {
    return bytes.size() <= 40 ? Visible(bytes)
                              : Visible(bytes.substr(0, 12)) + "...(" + std::to_string(bytes.size()) + " bytes)";
}

// A private folder of files with names never used before in this process: Wine keeps profile files
// it has read in a cache, so a file must never be reused with other contents.
class ProfileFolder : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "zapnix-ini-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(::GetTickCount64());
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(folder_, ignored)) {
            ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(folder_, ignored);
    }

    std::string FreshPath() { return folder_ + "\\case" + std::to_string(++files_) + ".ini"; }

    static void Store(const std::string& path, const std::string& bytes) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path;
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        ASSERT_EQ(std::fclose(file), 0);
    }

    static std::optional<std::string> Load(const std::string& path) {
        std::string bytes;
        if (ReadWholeFile(path, bytes) != ReadStatus::Ok) {
            return std::nullopt;
        }
        return bytes;
    }

    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    std::string folder_;
    int files_ = 0;
};

// ---------------------------------------------------------------------------------------------------
// Reads

struct ReadCase {
    std::string file;
    std::string section;
    std::string key;
    std::string text;         // GetPrivateProfileStringA, default "", buffer of 260
    std::uint32_t number;     // GetPrivateProfileIntA, default 0
    const char* wineDiffers;  // nullptr when Wine answers as Windows does
};

const std::vector<ReadCase>& ReadCases() {
    const std::string x300(300, 'x');
    static const std::vector<ReadCase> cases = {
        // Names and sections
        {"[s]\r\nk=1\r\nK=2\r\n[S]\r\nj=3\r\n", "S", "K", "1", 1, nullptr},
        {"[s]\r\nk=1\r\nK=2\r\n[S]\r\nj=3\r\n", "s", "j", "", 0, nullptr},
        {"[s]\r\nk=1\r\n", "  s ", " k  ", "1", 1, nullptr},
        {"[s]\r\nk=1\r\n", "\ts", "k", "", 0, "trims every kind of white space from the caller's names"},
        {"[s]\r\nk=1\r\n", "s", "k\t", "", 0, "trims every kind of white space from the caller's names"},
        {"[s]\r\n\t Title   1 \v= a\r\nTitle 1=b\r\n", "s", "Title   1", "a", 0, nullptr},
        {"[s]\r\n\t Title   1 \v= a\r\nTitle 1=b\r\n", "s", "Title 1", "b", 0, nullptr},
        {"[ spaced ]junk\r\nk=7\r\n", "spaced", "k", "7", 7, nullptr},
        {"[a]b]\r\nk=1\r\n", "a", "k", "1", 1, "ends a section name at the last ']'"},
        {"[a]b]\r\nk=1\r\n", "a]b", "k", "", 0, "ends a section name at the last ']'"},
        {"[open\r\nk=1\r\n", "open", "k", "1", 1, "reads a header line without ']' as a key line"},
        {"[s]\r\n[open\r\nk=1\r\n", "s", "k", "", 0, "reads a header line without ']' as a key line"},
        {"k=1\r\n[s]\r\n", "", "k", "", 0, "reads the lines before the first header as the section \"\""},
        {"[]\r\nk=1\r\n", "", "k", "1", 1, "keeps a section \"\" of its own for the lines before the first header"},
        {"[s]\r\n;x=1\r\n", "s", ";x", "", 0, "finds keys beginning with ';'"},
        {"[s]\r\n#x=1\r\n", "s", "#x", "1", 1, nullptr},
        {"[s]\r\njusttext\r\nk=2\r\n", "s", "justtext", "", 0, nullptr},
        {"[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1", 1, nullptr},
        // Line ends and bytes
        {"[s]\rk=1\rj=2\r", "s", "j", "2", 2, nullptr},
        {"[s]\nk=1\nj=3", "s", "j", "3", 3, nullptr},
        {"[s]\n\rk=4\n\r", "s", "k", "4", 4, nullptr},
        {"[s]\r\nk=last", "s", "k", "last", 0, nullptr},
        {Bytes("[s]\r\nk=\xff\x80z\r\n"), "s", "k", Bytes("\xff\x80z"), 0, nullptr},
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
        {"[s]\r\nk=42\r\n", "s", "k", "42", 42, nullptr},
        {"[s]\r\nk=-1\r\n", "s", "k", "-1", 4294967295u, nullptr},
        {"[s]\r\nk=+7\r\n", "s", "k", "+7", 7, nullptr},
        {"[s]\r\nk=42A9\r\n", "s", "k", "42A9", 42, nullptr},
        {"[s]\r\nk=B42\r\n", "s", "k", "B42", 0, nullptr},
        {"[s]\r\nk=4294967297\r\n", "s", "k", "4294967297", 1, nullptr},
        {"[s]\r\nk=99999999999\r\n", "s", "k", "99999999999", 1215752191u, nullptr},
        {"[s]\r\nk=-2147483648\r\n", "s", "k", "-2147483648", 2147483648u, nullptr},
        {"[s]\r\nk=  12  \r\n", "s", "k", "12", 12, nullptr},
        {"[s]\r\nk=- 5\r\n", "s", "k", "- 5", 0, nullptr},
        {"[s]\r\nk=--5\r\n", "s", "k", "--5", 0, nullptr},
        {"[s]\r\nk=007\r\n", "s", "k", "007", 7, nullptr},
        {"[s]\r\nk=12 34\r\n", "s", "k", "12 34", 12, nullptr},
        // Whether Windows reads hexadecimal is unverified; the engine reads leading decimal digits.
        {"[s]\r\nk=0x10\r\n", "s", "k", "0x10", 0, "reads a \"0x\" prefix as hexadecimal"},
    };
    return cases;
}

TEST_F(ProfileFolder, ReadsAnswerAsWindowsDoes) {
    int wineDifferences = 0;
    for (const ReadCase& c : ReadCases()) {
        const std::string path = FreshPath();
        Store(path, c.file);
        SCOPED_TRACE("file \"" + Visible(c.file) + "\" [" + Visible(c.section) + "] " + Visible(c.key));

        EXPECT_EQ(ReadIniString(path, c.section, c.key), c.text);
        EXPECT_EQ(static_cast<std::uint32_t>(ReadIniNumber(path, c.section, c.key)), c.number);

        char buffer[260] = {};
        const DWORD length =
            ::GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), "", buffer, sizeof buffer, path.c_str());
        const std::string apiText(buffer, length);
        const UINT apiNumber = ::GetPrivateProfileIntA(c.section.c_str(), c.key.c_str(), 0, path.c_str());
        if (c.wineDiffers == nullptr) {
            EXPECT_EQ(apiText, c.text) << "the system's profile functions disagree";
            EXPECT_EQ(apiNumber, c.number) << "the system's profile functions disagree";
        } else {
            ++wineDifferences;
            std::printf("Wine %s: \"%s\" %u where Windows gives \"%s\" %u\n", c.wineDiffers, Brief(apiText).c_str(),
                        apiNumber, Brief(c.text).c_str(), c.number);
        }
    }
    RecordProperty("WineDifferences", wineDifferences);
}

// ---------------------------------------------------------------------------------------------------
// Writes

struct Write {
    std::string section;
    std::string key;
    std::string value;
};

struct WriteCase {
    std::optional<std::string> file;  // nullopt: there is no file yet
    std::vector<Write> writes;
    std::string windows;      // the file after WritePrivateProfileStringA on Windows
    const char* wineDiffers;  // nullptr when Wine writes the same bytes
};

const std::vector<WriteCase>& WriteCases() {
    static const char* const kRegenerates =
        "rewrites the whole file: drops blank lines and indentation, ends every line in CRLF";
    static const std::vector<WriteCase> cases = {
        {std::nullopt, {{"s", "k", "v"}}, "[s]\r\nk=v\r\n", nullptr},
        {"", {{"s", "k", "v"}}, "[s]\r\nk=v\r\n", nullptr},
        {"[s]\r\nk=1\r\n", {{"s", "k", "2"}}, "[s]\r\nk=2\r\n", nullptr},
        {"[WinList]\r\n  Count =1\r\n", {{"WINLIST", "count", "2"}}, "[WinList]\r\nCount=2\r\n", nullptr},
        {"[a]\r\nx=1\r\n[A]\r\ny=2\r\n", {{"a", "y", "3"}}, "[a]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n", nullptr},
        {"[a]\r\nk=1\r\n[b]\r\nk=2\r\n",
         {{"a", "n", "3"}, {"a", "m", "4"}},
         "[a]\r\nk=1\r\nn=3\r\nm=4\r\n[b]\r\nk=2\r\n",
         nullptr},
        {"[a]\r\nk=1", {{"a", "j", "2"}}, "[a]\r\nk=1\r\nj=2\r\n", nullptr},
        {"[a]\r\nk=1", {{"a", "k", "2"}}, "[a]\r\nk=2\r\n", nullptr},
        {"[a]\r\nk=1", {{"b", "k", "v"}}, "[a]\r\nk=1\r\n[b]\r\nk=v\r\n", nullptr},
        {"[a]\r\nk=1\r\n", {{"b", "k", "v"}}, "[a]\r\nk=1\r\n[b]\r\nk=v\r\n", nullptr},
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
         "inserts a new key after the comment and blank lines that end its section"},
        {"[a]\r\n; c\r\n[b]\r\n",
         {{"a", "k", "v"}},
         "[a]\r\nk=v\r\n; c\r\n[b]\r\n",
         "inserts a new key after the comment lines that end its section"},
        {"[s]\r\njusttext\r\n",
         {{"s", "justtext", "2"}},
         "[s]\r\njusttext=2\r\njusttext\r\n",
         "takes a line without '=' for a key and replaces it"},
        {"[s]\r\nk=1\r\n",
         {{"s", ";x", "1"}, {"s", "j", "2"}},
         "[s]\r\nk=1\r\nj=2\r\n;x=1\r\n",
         "takes a line beginning with ';' for a key, so the next key goes below it"},
        {std::nullopt,
         {{"  s ", " k  ", " \t\"v\" "}},
         "[s]\r\nk= \t\"v\" \r\n",
         "keeps trailing spaces of names and strips leading blanks of the value"},
        {"[s]\r\nk=1\r\n", {{"s", "k", "  lead"}}, "[s]\r\nk=  lead\r\n", "strips leading blanks of the value"},
        {"k=1\r\n",
         {{"", "k", "2"}},
         "k=1\r\n[]\r\nk=2\r\n",
         "reads the lines before the first header as the section \"\""},
    };
    return cases;
}

TEST_F(ProfileFolder, WritesTheBytesWindowsWrites) {
    for (const WriteCase& c : WriteCases()) {
        const std::string enginePath = FreshPath();
        const std::string apiPath = FreshPath();
        if (c.file) {
            Store(enginePath, *c.file);
            Store(apiPath, *c.file);
        }
        SCOPED_TRACE("file \"" + Visible(c.file.value_or("<none>")) + "\", first write [" + c.writes[0].section + "] " +
                     c.writes[0].key);

        for (const Write& w : c.writes) {
            ASSERT_TRUE(WriteIniString(enginePath, w.section, w.key, w.value));
            ASSERT_TRUE(
                ::WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(), apiPath.c_str()));
        }
        // Wine may hold the written file in its cache until asked to flush it.
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, apiPath.c_str());

        EXPECT_EQ(Visible(Load(enginePath).value_or("<none>")), Visible(c.windows));
        const std::string api = Load(apiPath).value_or("<none>");
        if (c.wineDiffers == nullptr) {
            EXPECT_EQ(Visible(api), Visible(c.windows)) << "the system's profile functions disagree";
        } else {
            std::printf("Wine %s: \"%s\"\n", c.wineDiffers, Visible(api).c_str());
        }
    }
}

// The one place where the engine deliberately differs from the profile functions: they write a line
// break inside a value raw, so that the value adds keys and sections to the file.
TEST_F(ProfileFolder, ValuesWithLineBreaksAddNoLinesUnlikeTheSystemFunctions) {
    const std::string file = "[s]\r\nk=1\r\n[t]\r\nx=1\r\n";
    const std::string evil = "a\r\n[t]\r\nx=evil\nk2=2";
    const std::string enginePath = FreshPath();
    const std::string apiPath = FreshPath();
    Store(enginePath, file);
    Store(apiPath, file);

    ASSERT_TRUE(WriteIniString(enginePath, "s", "k", evil));
    ASSERT_TRUE(::WritePrivateProfileStringA("s", "k", evil.c_str(), apiPath.c_str()));
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, apiPath.c_str());

    EXPECT_EQ(Visible(Load(enginePath).value_or("")), Visible("[s]\r\nk=a  [t]  x=evil k2=2\r\n[t]\r\nx=1\r\n"));
    EXPECT_EQ(ReadIniString(enginePath, "s", "k2"), "");
    EXPECT_EQ(ReadIniString(enginePath, "t", "x"), "1");

    // The fault the engine avoids, shown on the system's own functions: the value became lines.
    const std::string api = Load(apiPath).value_or("");
    EXPECT_NE(api.find("\nk2=2"), std::string::npos) << Visible(api);
    // Read under a new name: Wine would answer from the copy it cached while writing.
    const std::string reread = FreshPath();
    Store(reread, api);
    // The injected "[t]" comes first, so its "x" now hides the real one.
    char buffer[260] = {};
    ::GetPrivateProfileStringA("t", "x", "", buffer, sizeof buffer, reread.c_str());
    EXPECT_STREQ(buffer, "evil");
}

// ---------------------------------------------------------------------------------------------------
// The Windows file layer

TEST_F(ProfileFolder, ReplacesAFileLeavingNoTemporaryFile) {
    const std::string path = folder_ + "\\rules.ini";
    Store(path, "[s]\r\nk=1\r\n");
    ASSERT_TRUE(WriteIniString(path, "s", "k", "2"));
    ASSERT_TRUE(WriteIniString(path, "t", "k", "3"));
    EXPECT_EQ(Load(path), std::optional<std::string>("[s]\r\nk=2\r\n[t]\r\nk=3\r\n"));
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"rules.ini"});
}

TEST_F(ProfileFolder, FailsIntoAMissingFolder) {
    EXPECT_FALSE(WriteIniString(folder_ + "\\missing\\x.ini", "s", "k", "v"));
    EXPECT_EQ(ReadIniString(folder_ + "\\missing\\x.ini", "s", "k"), "");
    EXPECT_TRUE(FolderNames().empty());
}

TEST_F(ProfileFolder, LeavesAReadOnlyFileAsItWas) {
    const std::string path = folder_ + "\\readonly.ini";
    Store(path, "[s]\r\nk=1\r\n");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteIniString(path, "s", "k", "2"));
    EXPECT_EQ(Load(path), std::optional<std::string>("[s]\r\nk=1\r\n"));
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"readonly.ini"});
}

TEST_F(ProfileFolder, NeverOverwritesAFileItCannotRead) {
    const std::string path = folder_ + "\\blocked.ini";
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_FALSE(LoadIniFile(path).has_value());
    EXPECT_FALSE(WriteIniString(path, "s", "k", "v"));
    EXPECT_NE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(ProfileFolder, RemovesTheTemporaryFileWhenTheReplacementFails) {
    const std::string path = folder_ + "\\locked.ini";
    Store(path, "[s]\r\nk=1\r\n");
    // Another program holds the file open without letting it be deleted or renamed over.
    const HANDLE holder = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const bool replaced = ReplaceFileAtomically(path, "[s]\r\nk=2\r\n");
    const std::vector<std::string> names = FolderNames();
    ::CloseHandle(holder);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(names, std::vector<std::string>{"locked.ini"});
    EXPECT_EQ(Load(path), std::optional<std::string>("[s]\r\nk=1\r\n"));
}

}  // namespace
}  // namespace zapnix
