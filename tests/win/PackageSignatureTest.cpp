// Package signatures checked with the system's cryptography, against signatures made here with the
// tests' own key pairs (tests/keys: the private halves of test keys, never a publisher's).

#include <gtest/gtest.h>

#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/Publisher.h"
#include "update/PackageSignature.h"
#include "update/PackageVerifier.h"

namespace zapnix {
namespace {

std::vector<unsigned char> FromHex(const std::string& hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Signs as the publisher does: ECDSA P-256 over the SHA-256 of the message, r then s.
std::string Sign(const char* privateKeyFile, const std::string& message) {
    std::ifstream file(std::string(ZAPNIX_TEST_KEYS) + "/" + privateKeyFile);
    std::string hex;
    file >> hex;
    const std::vector<unsigned char> key = FromHex(hex);  // x, y, d
    std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.size());
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, 32};
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, key.data(), key.size());
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_KEY_HANDLE handle = nullptr;
    std::string signature(kSignatureBytes, '\0');
    ULONG written = 0;
    Sha256Digest digest{};
    Sha256 hash;
    const bool signed_ = hash.Add(message) && hash.Finish(digest) &&
                         BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) >= 0 &&
                         BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPRIVATE_BLOB, &handle, blob.data(),
                                             static_cast<ULONG>(blob.size()), 0) >= 0 &&
                         BCryptSignHash(handle, nullptr, digest.data(), static_cast<ULONG>(digest.size()),
                                        reinterpret_cast<PUCHAR>(signature.data()), kSignatureBytes, &written, 0) >= 0;
    if (handle) BCryptDestroyKey(handle);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    EXPECT_TRUE(signed_ && written == kSignatureBytes) << "the test could not sign";
    return signature;
}

Sha256Digest DigestOf(const std::string& bytes) {
    Sha256Digest digest{};
    Sha256 hash;
    const std::size_t half = bytes.size() / 2;  // in two pieces, as a download arrives
    EXPECT_TRUE(hash.Add(bytes.substr(0, half)) && hash.Add(bytes.substr(half)) && hash.Finish(digest));
    return digest;
}

// The digest is SHA-256's, whatever the pieces; a signature holds only for the key, the bytes and the name
// it was made for, and only whole.
TEST(PackageSignature, HoldsOnlyForItsKeyItsBytesAndItsName) {
    const std::string package = "PK\x03\x04 the package of version 1.18";
    EXPECT_EQ(SignedMessage("x", DigestOf("abc")),
              "x\nba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string message = SignedMessage("Zapnix-1.18.zip", DigestOf(package));
    const std::string signature = Sign("test-private-key.hex", message);
    const PublicKey& key = ReleasePublicKey();  // this test program trusts the tests' key

    EXPECT_TRUE(SignatureValid(key, message, signature));
    std::string changed = package;
    changed[3] ^= 1;
    EXPECT_FALSE(SignatureValid(key, SignedMessage("Zapnix-1.18.zip", DigestOf(changed)), signature)) << "a byte";
    EXPECT_FALSE(SignatureValid(key, SignedMessage("Zapnix-1.16.zip", DigestOf(package)), signature)) << "the name";
    EXPECT_FALSE(SignatureValid(key, message, Sign("other-private-key.hex", message))) << "another key";
    EXPECT_FALSE(SignatureValid(key, message, signature.substr(0, kSignatureBytes - 1))) << "cut short";
    EXPECT_FALSE(SignatureValid(key, message, signature + '\0')) << "too long";
    EXPECT_FALSE(SignatureValid(key, message, "")) << "none";
    std::string flipped = signature;
    flipped[40] ^= 0x80;
    EXPECT_FALSE(SignatureValid(key, message, flipped)) << "a changed signature";
}

}  // namespace
}  // namespace zapnix
