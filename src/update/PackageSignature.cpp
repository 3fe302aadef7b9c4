#include "update/PackageSignature.h"

namespace zapnix {

std::string SignedMessage(std::string_view fileName, const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string message(fileName);
    message += '\n';
    for (const unsigned char byte : digest) {
        message += kDigits[byte >> 4];
        message += kDigits[byte & 0xF];
    }
    return message;
}

}  // namespace zapnix
