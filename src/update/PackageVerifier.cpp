#include "update/PackageVerifier.h"

#include <cstring>
#include <vector>

namespace zapnix {
namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

// The algorithm's provider; none when the system refuses it (and nothing half-made is freed then).
UniqueAlgorithm OpenProvider(LPCWSTR algorithm) {
    UniqueAlgorithm provider;
    if (!Succeeded(BCryptOpenAlgorithmProvider(provider.Receive(), algorithm, nullptr, 0))) provider.Release();
    return provider;
}

BCRYPT_ALG_HANDLE Sha256Provider() {
    // BCRYPT_SHA256_ALG_HANDLE would need no opening, but only from Windows 10 on and not under Wine.
    static const UniqueAlgorithm provider = OpenProvider(BCRYPT_SHA256_ALGORITHM);
    return provider.Get();
}

}  // namespace

Sha256::Sha256() {
    const BCRYPT_ALG_HANDLE algorithm = Sha256Provider();
    failed_ = !algorithm || !Succeeded(BCryptCreateHash(algorithm, hash_.Receive(), nullptr, 0, nullptr, 0, 0));
    if (failed_) hash_.Release();
}

bool Sha256::Add(std::string_view bytes) {
    while (!failed_ && !bytes.empty()) {
        const ULONG piece = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<ULONG>(bytes.size());
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
        failed_ = !Succeeded(BCryptHashData(hash_.Get(), data, piece, 0));
        bytes.remove_prefix(piece);
    }
    return !failed_;
}

bool Sha256::Finish(Sha256Digest& digest) {
    failed_ = failed_ || !Succeeded(BCryptFinishHash(hash_.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
    return !failed_;
}

bool SignatureValid(const PublicKey& publicKey, std::string_view message, std::string_view signature) {
    if (signature.size() != kSignatureBytes) return false;
    Sha256Digest digest{};
    Sha256 hash;
    if (!hash.Add(message) || !hash.Finish(digest)) return false;

    // Opened per use: a verification happens once per download.
    const UniqueAlgorithm ecdsa = OpenProvider(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!ecdsa) return false;
    std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + publicKey.size());
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, publicKey.data(), publicKey.size());
    UniqueCryptKey key;
    if (!Succeeded(BCryptImportKeyPair(ecdsa.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, key.Receive(), blob.data(),
                                       static_cast<ULONG>(blob.size()), 0))) {
        key.Release();
        return false;
    }
    std::array<unsigned char, kSignatureBytes> raw{};
    std::memcpy(raw.data(), signature.data(), raw.size());
    return Succeeded(BCryptVerifySignature(key.Get(), nullptr, digest.data(), static_cast<ULONG>(digest.size()),
                                           raw.data(), static_cast<ULONG>(raw.size()), 0));
}

}  // namespace zapnix
