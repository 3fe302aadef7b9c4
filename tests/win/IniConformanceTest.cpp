// The corpus of what Windows answers (IniCorpus.h), asked of the system's own profile functions: they must
// agree with it, except where a case names how Wine, which these tests run under, differs from Windows.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "../unit/IniCorpus.h"
#include "../unit/TempFolder.h"
#include "platform/FileIo.h"
#include "profile/ProfileFile.h"

namespace zapnix {
namespace {

// Wine keeps profile files it has read in a cache: a file name is never used twice with other contents.
class ProfileFolder : public TempFolderTest {
protected:
    std::string FreshPath() { return PathOf("case" + std::to_string(++files_) + ".ini"); }

    int files_ = 0;
};

TEST_F(ProfileFolder, ReadsAnswerAsWindowsDoes) {
    int wineDifferences = 0;
    for (const testing::ReadCase& c : testing::ReadCases()) {
        const std::string path = FreshPath();
        Store(path, c.file);
        SCOPED_TRACE("file " + ::testing::PrintToString(c.file) + " [" + c.section + "] " + c.key);

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
            std::printf("Wine %s: %s %u where Windows gives %s %u\n", c.wineDiffers,
                        ::testing::PrintToString(apiText).c_str(), apiNumber, ::testing::PrintToString(c.text).c_str(),
                        c.number);
        }
    }
    RecordProperty("WineDifferences", wineDifferences);
}

TEST_F(ProfileFolder, WritesTheBytesWindowsWrites) {
    for (const testing::WriteCase& c : testing::WriteCases()) {
        const std::string apiPath = FreshPath();
        if (c.file) Store(apiPath, *c.file);
        SCOPED_TRACE("file " + ::testing::PrintToString(c.file.value_or("<none>")) + ", first write [" +
                     c.writes[0].section + "] " + c.writes[0].key);

        for (const testing::IniWrite& w : c.writes)
            ASSERT_TRUE(
                ::WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(), apiPath.c_str()));
        // Wine may hold the written file in its cache until asked to flush it.
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, apiPath.c_str());

        const std::string api = Load(apiPath);
        if (c.wineDiffers == nullptr) {
            EXPECT_EQ(::testing::PrintToString(api), ::testing::PrintToString(c.windows))
                << "the system's profile functions disagree";
        } else {
            std::printf("Wine %s: %s\n", c.wineDiffers, ::testing::PrintToString(api).c_str());
        }
    }
}

// A file saved as Unicode (UTF-16 with its byte-order mark) reads through the ANSI code page as the
// system's functions read it, and a write keeps it Unicode, so that the system reads the new value too.
// Characters the code page lacks come back as the same look-alike from both; the file keeps them.
TEST_F(ProfileFolder, AUnicodeFileReadsAndStaysUnicodeAsWithTheSystem) {
    const std::wstring text = L"; \u65e5\u672c\r\n[Windows]\r\nTitle   1=Caf\u00e9\r\nTitle   2=\u03a9 offer\r\n";
    std::string file = "\xFF\xFE";
    file.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    const std::string path = FreshPath();
    Store(path, file);
    for (const char* key : {"Title   1", "Title   2", "Title   3"}) {
        char buffer[260] = {};
        const DWORD length = ::GetPrivateProfileStringA("Windows", key, "", buffer, sizeof buffer, path.c_str());
        EXPECT_EQ(ReadIniString(path, "Windows", key), std::string(buffer, length)) << key;
    }
    EXPECT_EQ(ReadIniString(path, "Windows", "Title   1"), "Caf\xE9") << "Windows-1252 here";

    ASSERT_TRUE(WriteIniString(path, "Windows", "Title   3", "na\xEFve"));
    char buffer[260] = {};
    const DWORD length = ::GetPrivateProfileStringA("Windows", "Title   3", "", buffer, sizeof buffer, path.c_str());
    EXPECT_EQ(std::string(buffer, length), "na\xEFve");
    const std::wstring written = text + L"Title   3=na\u00efve\r\n";
    EXPECT_EQ(Load(path), "\xFF\xFE" + std::string(reinterpret_cast<const char*>(written.data()),
                                                      written.size() * sizeof(wchar_t)));
}

}  // namespace
}  // namespace zapnix
