#pragma once
// What makes a package the publisher's: a signature of the publisher's key (ECDSA over the P-256 curve
// with SHA-256) beside it on the server, over a message that binds the package's bytes to its name, so
// that an old signed package cannot be served under a newer version's name.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zapnix {

// The signature of "/zapnix/Zapnix-1.18.zip" is "/zapnix/Zapnix-1.18.zip.sig".
inline constexpr char kSignatureSuffix[] = ".sig";
// r, then s, 32 bytes each, big-endian: nothing else is a signature.
inline constexpr std::size_t kSignatureBytes = 64;

using Sha256Digest = std::array<unsigned char, 32>;
// The publisher's public key: the point of the P-256 curve, x then y, 32 bytes each, big-endian.
using PublicKey = std::array<unsigned char, 64>;

// The message signed: the package's file name, a line feed, and the SHA-256 of its bytes as 64
// lower-case hex digits ("Zapnix-1.18.zip\n9f86d0...").
std::string SignedMessage(std::string_view fileName, const Sha256Digest& digest);

}  // namespace zapnix
