// `ini get|getint|set FILE SECTION KEY [VALUE]`: the profile-file engine from the command line, for
// scripts and for comparing the engine with the system's profile functions (`--api`, Windows only).

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "platform/FileIo.h"
#include "profile/ProfileFile.h"

namespace zapnix {
#ifdef _WIN32
// IniToolApi.cpp: the same three operations through GetPrivateProfileStringA and its kin.
std::string ApiReadString(const std::string& path, std::string_view section, std::string_view key);
std::int32_t ApiReadNumber(const std::string& path, std::string_view section, std::string_view key);
bool ApiWriteString(const std::string& path, std::string_view section, std::string_view key, std::string_view value);
#endif
}  // namespace zapnix

namespace {

struct Operations {
    std::string (*readString)(const std::string&, std::string_view, std::string_view);
    std::int32_t (*readNumber)(const std::string&, std::string_view, std::string_view);
    bool (*writeString)(const std::string&, std::string_view, std::string_view, std::string_view);
};

constexpr Operations kEngine{&zapnix::ReadIniString, &zapnix::ReadIniNumber, &zapnix::WriteIniString};
#ifdef _WIN32
constexpr Operations kApi{&zapnix::ApiReadString, &zapnix::ApiReadNumber, &zapnix::ApiWriteString};
constexpr const char* kUsage =
    "usage: ini [--api] get|getint FILE SECTION KEY | ini [--api] set FILE SECTION KEY VALUE\n";
#else
constexpr const char* kUsage = "usage: ini get|getint FILE SECTION KEY | ini set FILE SECTION KEY VALUE\n";
#endif

int Usage() {
    std::fputs(kUsage, stderr);
    return 1;
}

// Values are opaque bytes: print them exactly, whatever the platform's text mode would do to them.
void PrintLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    const Operations* operations = &kEngine;
#ifdef _WIN32
    if (argc > 1 && std::string_view(argv[1]) == "--api") {
        operations = &kApi;
        first = 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const int count = argc - first;
    if (count < 1) {
        return Usage();
    }
    const std::string_view command = argv[first];
    const bool isRead = command == "get" || command == "getint";
    if (!(isRead && count == 4) && !(command == "set" && count == 5)) {
        return Usage();
    }
    const std::string path = argv[first + 1];
    const std::string_view section = argv[first + 2];
    const std::string_view key = argv[first + 3];

    // A folder, pipe or device where the file should be is an error, not an empty file; a pipe would
    // otherwise block the tool until something wrote to it.
    if (operations == &kEngine) {
        std::string bytes;
        const zapnix::ReadStatus status = zapnix::ReadWholeFile(path, bytes);
        if (status != zapnix::ReadStatus::Ok && status != zapnix::ReadStatus::Missing) {
            std::fprintf(stderr, "ini: %s %s\n", path.c_str(),
                         status == zapnix::ReadStatus::NotRegular ? "is not a regular file" : "cannot be read");
            return 1;
        }
    }

    if (command == "get") {
        PrintLine(operations->readString(path, section, key));
    } else if (command == "getint") {
        PrintLine(std::to_string(operations->readNumber(path, section, key)));
    } else if (!operations->writeString(path, section, key, argv[first + 4])) {
        std::fputs("ini: cannot write the file\n", stderr);
        return 1;
    }
    return 0;
}
