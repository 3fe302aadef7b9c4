#include "app/Publisher.h"

#include <string_view>

#ifndef ZAPNIX_SERVER_BASE
#error "ZAPNIX_SERVER_BASE is given by the build for each executable"
#endif
#ifndef ZAPNIX_RELEASE_PUBLIC_KEY
#error "ZAPNIX_RELEASE_PUBLIC_KEY is given by the build for each executable"
#endif

namespace zapnix {
namespace {

constexpr unsigned HexDigit(char c) {
    return c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

// The build hands the key over as 128 hex digits (it has checked them).
constexpr PublicKey FromHex(std::string_view hex) {
    PublicKey key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<unsigned char>(HexDigit(hex[2 * i]) << 4 | HexDigit(hex[2 * i + 1]));
    return key;
}

constexpr PublicKey kReleasePublicKey = FromHex(ZAPNIX_RELEASE_PUBLIC_KEY);

}  // namespace

const char* ServerBase() {
    return ZAPNIX_SERVER_BASE;
}

const PublicKey& ReleasePublicKey() {
    return kReleasePublicKey;
}

}  // namespace zapnix
