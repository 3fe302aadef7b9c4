#pragma once
// Where the answers of the update check and of the package download go as they arrive.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileIo.h"
#include "platform/HttpClient.h"

namespace zapnix {

// The manifest's first bytes, the only ones that count: the rest is not read, and nothing but an answer
// of status 200 is.
class ManifestReceiver final : public HttpReceiver {
public:
    bool Begin(unsigned status, std::optional<std::uint64_t> announcedLength) override;
    bool Take(std::string_view piece) override;
    const std::string& FirstBytes() const { return firstBytes_; }

private:
    std::string firstBytes_;
};

// A package on its way into the file the user chose. Its bytes go to a new file beside that file as they
// arrive, so that memory stays flat however large the package; the new file takes the old one's place
// only on Commit, and is removed if this goes without it. Only a package of status 200 that announced its
// length, within the largest allowed, is read: its end can be checked, and it is refused before any of it
// is read when it is too large.
class PackageReceiver final : public HttpReceiver {
public:
    PackageReceiver(const std::string& path, std::uint64_t largest) : file_(path), largest_(largest) {}
    // False when no new file could be made beside the target (see FileReplacement).
    bool Started() const { return file_.Started(); }
    bool Begin(unsigned status, std::optional<std::uint64_t> announcedLength) override;
    bool Take(std::string_view piece) override;
    // Whether the package arrived whole: its body ran to its end, as long as it announced.
    bool Complete(const HttpResponse& response) const { return response.endReached && written_ == length_; }
    bool Commit() { return file_.Commit(); }

private:
    FileReplacement file_;
    std::uint64_t largest_;
    std::uint64_t length_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace zapnix
