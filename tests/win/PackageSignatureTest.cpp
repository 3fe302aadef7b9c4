// Package signatures checked with the system's cryptography, against signatures made with the tests'
// own key pairs.

#include <gtest/gtest.h>

#include <string>

#include "app/Publisher.h"
#include "update/PackageSignature.h"
#include "update/PackageVerifier.h"
#include "TestSigning.h"

namespace zapnix {
namespace {

// The digest is SHA-256's, whatever the pieces; a signature holds only for the key, the bytes and the name
// it was made for, and only whole.
// The program's digest is SHA-256's, whatever the pieces it comes in; its message is the tests' own; and a
// signature holds only for the key, the bytes and the name it was made for, and only whole.
TEST(PackageSignature, HoldsOnlyForItsKeyItsBytesAndItsName) {
    const std::string package = "PK\x03\x04 the package of version 1.18";
    const auto digestOf = [](const std::string& bytes) {
        Sha256Digest digest{};
        Sha256 hash;
        const std::size_t half = bytes.size() / 2;  // in two pieces, as a download arrives
        EXPECT_TRUE(hash.Add(bytes.substr(0, half)) && hash.Add(bytes.substr(half)) && hash.Finish(digest));
        return digest;
    };
    EXPECT_EQ(SignedMessage("x", digestOf("abc")), "x\nba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(SignedMessage("Zapnix-1.18.zip", digestOf(package)),
              "Zapnix-1.18.zip\n" + testing::Hex(testing::Sha256Of(package)));
    const std::string message = SignedMessage("Zapnix-1.18.zip", digestOf(package));
    const std::string signature = testing::SignatureOf("Zapnix-1.18.zip", package);
    const PublicKey& key = ReleasePublicKey();  // this test program trusts the tests' key

    EXPECT_TRUE(SignatureValid(key, message, signature));
    std::string changed = package;
    changed[3] ^= 1;
    EXPECT_FALSE(SignatureValid(key, SignedMessage("Zapnix-1.18.zip", digestOf(changed)), signature)) << "a byte";
    EXPECT_FALSE(SignatureValid(key, SignedMessage("Zapnix-1.16.zip", digestOf(package)), signature)) << "the name";
    EXPECT_FALSE(SignatureValid(key, message, testing::Sign("other-private-key.hex", message))) << "another key";
    EXPECT_FALSE(SignatureValid(key, message, signature.substr(0, kSignatureBytes - 1))) << "cut short";
    EXPECT_FALSE(SignatureValid(key, message, signature + '\0')) << "too long";
    EXPECT_FALSE(SignatureValid(key, message, "")) << "none";
    std::string flipped = signature;
    flipped[40] ^= 0x80;
    EXPECT_FALSE(SignatureValid(key, message, flipped)) << "a changed signature";
}

}  // namespace
}  // namespace zapnix
