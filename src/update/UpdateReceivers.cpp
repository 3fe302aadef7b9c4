#include "update/UpdateReceivers.h"

#include "update/UpdateCheck.h"

namespace zapnix {

bool ManifestReceiver::Begin(unsigned status, std::optional<std::uint64_t>) {
    return status == 200;
}

bool ManifestReceiver::Take(std::string_view piece) {
    firstBytes_.append(piece.substr(0, kManifestBytes - firstBytes_.size()));
    return firstBytes_.size() < kManifestBytes;
}

bool PackageReceiver::Begin(unsigned status, std::optional<std::uint64_t> announcedLength) {
    if (status != 200 || !announcedLength || *announcedLength > largest_) return false;
    length_ = *announcedLength;
    return true;
}

bool PackageReceiver::Take(std::string_view piece) {
    // A chunked body may run past the length announced beside it: not onto the disk.
    written_ += piece.size();
    return written_ <= length_ && file_.Write(piece);
}

}  // namespace zapnix
