#pragma once
// Signing as the publisher does, on the tests' side and without the program's code: ECDSA P-256 over the
// SHA-256 of the message (the package's file name, a line feed, the SHA-256 of its bytes in lower-case
// hex), r then s. With the tests' own key pairs: tests/keys holds the private halves of test keys, never a
// publisher's (ZAPNIX_TEST_KEYS names the folder).

#include <gtest/gtest.h>

#include <windows.h>
#include <bcrypt.h>

#include <array>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace zapnix::testing {

inline std::array<unsigned char, 32> Sha256Of(const std::string& bytes) {
    std::array<unsigned char, 32> digest{};
    BCRYPT_ALG_HANDLE sha = nullptr;
    const bool hashed = BCryptOpenAlgorithmProvider(&sha, BCRYPT_SHA256_ALGORITHM, nullptr, 0) >= 0 &&
                        BCryptHash(sha, nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                   static_cast<ULONG>(bytes.size()), digest.data(), 32) >= 0;
    if (sha) BCryptCloseAlgorithmProvider(sha, 0);
    EXPECT_TRUE(hashed) << "the test could not hash";
    return digest;
}

inline std::string Sign(const char* privateKeyFile, const std::string& message) {
    std::ifstream file(std::string(ZAPNIX_TEST_KEYS) + "/" + privateKeyFile);
    std::string hex;
    file >> hex;
    std::vector<unsigned char> key;  // x, y, d
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        key.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.size());
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, 32};
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, key.data(), key.size());
    std::array<unsigned char, 32> digest = Sha256Of(message);
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_KEY_HANDLE handle = nullptr;
    std::string signature(64, '\0');
    ULONG written = 0;
    const bool signed_ = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) >= 0 &&
                         BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPRIVATE_BLOB, &handle, blob.data(),
                                             static_cast<ULONG>(blob.size()), 0) >= 0 &&
                         BCryptSignHash(handle, nullptr, digest.data(), 32, reinterpret_cast<PUCHAR>(signature.data()),
                                        64, &written, 0) >= 0;
    if (handle) BCryptDestroyKey(handle);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    EXPECT_TRUE(signed_ && written == 64) << "the test could not sign";
    return signature;
}

// The signature file of a package served under `fileName`.
inline std::string SignatureOf(const std::string& fileName, const std::string& package,
                               const char* privateKeyFile = "test-private-key.hex") {
    std::string hex;
    for (const unsigned char byte : Sha256Of(package))
        hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
    return Sign(privateKeyFile, fileName + "\n" + hex);
}

}  // namespace zapnix::testing
