#pragma once
// Checking a package's signature with the system's own cryptography (CNG: BCrypt).

#include <windows.h>
#include <bcrypt.h>

#include <array>
#include <string_view>

#include "platform/Handles.h"
#include "update/PackageSignature.h"

namespace zapnix {

// The SHA-256 of bytes handed over piece by piece, as a download arrives.
class Sha256 {
public:
    Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False once the system has failed; the digest then means nothing.
    bool Add(std::string_view bytes);
    bool Finish(Sha256Digest& digest);

private:
    UniqueHash hash_;
    bool failed_ = false;
};

// Whether `signature` is the publisher's signature of `message`: `publicKey` holds the P-256 point, x then
// y, 32 bytes each, big-endian. A signature of any other length is none.
bool SignatureValid(const PublicKey& publicKey, std::string_view message, std::string_view signature);

}  // namespace zapnix
