// The profile-file engine against the system's own profile functions, file by file, through the files.
//
// Every case of the corpus states what Windows answers. The engine must give exactly that. The system
// functions are called as well and must agree, except where Wine (which these tests run under) is known
// to differ from Windows: such a case names the difference, and only the engine is held to the Windows
// answer. (The engine deliberately differs from both where a value holds a line break: IniDocumentTest.)

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "../unit/IniCorpus.h"
#include "platform/FileIo.h"
#include "rules/IniDocument.h"
#include "rules/ProfileFile.h"

namespace zapnix {
namespace {

namespace fs = std::filesystem;

std::string Visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : (c < 0x20 || c >= 0x7f) ? hex : std::string(1, c);
    }
    return out;
}

// A private folder of files with names never used before in this process: Wine keeps profile files
// it has read in a cache, so a file must never be reused with other contents.
class ProfileFolder : public ::testing::Test {
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
        for (const auto& entry : fs::directory_iterator(folder_, ignored))
            ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(folder_, ignored);
    }

    std::string FreshPath() { return folder_ + "\\case" + std::to_string(++files_) + ".ini"; }

    static void Store(const std::string& path, const std::string& bytes) {
        std::ofstream file(path, std::ios::binary);
        ASSERT_TRUE(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) << path;
    }

    static std::optional<std::string> Load(const std::string& path) {
        std::string bytes;
        return ReadWholeFile(path, bytes) == ReadStatus::Ok ? std::optional(bytes) : std::nullopt;
    }

    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        return names;
    }

    std::string folder_;
    int files_ = 0;
};

TEST_F(ProfileFolder, ReadsAnswerAsWindowsDoes) {
    int wineDifferences = 0;
    for (const testing::ReadCase& c : testing::ReadCases()) {
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
            std::printf("Wine %s: \"%s\" %u where Windows gives \"%s\" %u\n", c.wineDiffers, Visible(apiText).c_str(),
                        apiNumber, Visible(c.text).c_str(), c.number);
        }
    }
    RecordProperty("WineDifferences", wineDifferences);
}

TEST_F(ProfileFolder, WritesTheBytesWindowsWrites) {
    for (const testing::WriteCase& c : testing::WriteCases()) {
        const std::string enginePath = FreshPath();
        const std::string apiPath = FreshPath();
        if (c.file) {
            Store(enginePath, *c.file);
            Store(apiPath, *c.file);
        }
        SCOPED_TRACE("file \"" + Visible(c.file.value_or("<none>")) + "\", first write [" + c.writes[0].section + "] " +
                     c.writes[0].key);

        for (const testing::IniWrite& w : c.writes) {
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
