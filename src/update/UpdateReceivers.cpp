#include "update/UpdateReceivers.h"

#include "update/PackageSignature.h"
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
    if (written_ > length_ || !file_.Write(piece)) return false;
    if (seen_) seen_(piece);
    return true;
}

bool SignatureReceiver::Begin(unsigned status, std::optional<std::uint64_t> announcedLength) {
    return status == 200 && (!announcedLength || *announcedLength == kSignatureBytes);
}

bool SignatureReceiver::Take(std::string_view piece) {
    bytes_.append(piece.substr(0, kSignatureBytes + 1 - bytes_.size()));
    return bytes_.size() <= kSignatureBytes;
}

SignatureReceiver::Outcome SignatureReceiver::Judge(const HttpResponse& response) const {
    if (response.failure || response.transferError != 0 || response.status == 0) return Outcome::Failed;
    // Refused at its start (not 200, another length) or as it came (too long): no signature. A body that
    // ended at its announced length, or by itself without one, is as long as it is.
    if (response.endReached && bytes_.size() == kSignatureBytes) return Outcome::Received;
    return Outcome::Unusable;
}

}  // namespace zapnix
