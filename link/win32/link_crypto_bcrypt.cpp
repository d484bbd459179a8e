#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include <stdexcept>
#include <vector>

#include "link/link_crypto.h"

namespace kestrum {
namespace {

bool Ok(NTSTATUS status) {
    return status >= 0;
}

PUCHAR Bytes(std::string_view text) {
    return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

ULONG Size(std::string_view text) {
    return static_cast<ULONG>(text.size());
}

// Provider and key handles closed on every path.
class Provider {
  public:
    Provider(const wchar_t* algorithm, ULONG flags, const char* failure) {
        if (!Ok(BCryptOpenAlgorithmProvider(&handle_, algorithm, nullptr, flags))) {
            handle_ = nullptr;
            throw std::runtime_error(failure);
        }
    }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    ~Provider() { BCryptCloseAlgorithmProvider(handle_, 0); }
    BCRYPT_ALG_HANDLE get() const { return handle_; }

  private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class SymmetricKey {
  public:
    SymmetricKey(const Provider& provider, std::string_view key) {
        if (!Ok(BCryptGenerateSymmetricKey(provider.get(), &handle_, nullptr, 0, Bytes(key),
                                           Size(key), 0))) {
            handle_ = nullptr;
            throw std::runtime_error("BCryptGenerateSymmetricKey failed");
        }
    }
    SymmetricKey(const SymmetricKey&) = delete;
    SymmetricKey& operator=(const SymmetricKey&) = delete;
    ~SymmetricKey() { BCryptDestroyKey(handle_); }
    BCRYPT_KEY_HANDLE get() const { return handle_; }

  private:
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

class Hash {
  public:
    Hash(const Provider& provider, std::string_view secret) {
        if (!Ok(BCryptCreateHash(provider.get(), &handle_, nullptr, 0, Bytes(secret), Size(secret),
                                 0))) {
            handle_ = nullptr;
            throw std::runtime_error("BCryptCreateHash failed");
        }
    }
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;
    ~Hash() { BCryptDestroyHash(handle_); }
    BCRYPT_HASH_HANDLE get() const { return handle_; }

  private:
    BCRYPT_HASH_HANDLE handle_ = nullptr;
};

void UseCbc(const Provider& provider) {
    static const wchar_t kMode[] = BCRYPT_CHAIN_MODE_CBC;
    if (!Ok(BCryptSetProperty(provider.get(), BCRYPT_CHAINING_MODE,
                              reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(kMode)), sizeof(kMode),
                              0))) {
        throw std::runtime_error("BCryptSetProperty CBC failed");
    }
}

}  // namespace

std::string HmacSha256(std::string_view key, std::string_view data) {
    Provider provider(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG,
                      "BCryptOpenAlgorithmProvider HMAC failed");
    DWORD digestLength = 0;
    ULONG copied = 0;
    if (!Ok(BCryptGetProperty(provider.get(), BCRYPT_HASH_LENGTH,
                              reinterpret_cast<PUCHAR>(&digestLength), sizeof(digestLength),
                              &copied, 0))) {
        throw std::runtime_error("BCryptCreateHash failed");
    }
    Hash hash(provider, key);
    if (!Ok(BCryptHashData(hash.get(), Bytes(data), Size(data), 0))) {
        throw std::runtime_error("BCryptHashData failed");
    }
    std::string tag(digestLength, '\0');
    if (!Ok(BCryptFinishHash(hash.get(), reinterpret_cast<PUCHAR>(tag.data()), digestLength, 0))) {
        throw std::runtime_error("BCryptFinishHash failed");
    }
    return tag;
}

std::string AesCbcDecrypt(std::string_view ciphertext, std::string_view key, std::string_view iv) {
    Provider provider(BCRYPT_AES_ALGORITHM, 0, "BCryptOpenAlgorithmProvider failed");
    UseCbc(provider);
    CheckAesKey(key);
    SymmetricKey symmetricKey(provider, key);
    CheckAesDecryptInput(ciphertext, iv);

    // Raw blocks: the padding is checked by StripBlockPadding, the same way on every
    // platform. The call changes the IV buffer, so each call gets a fresh copy.
    std::vector<UCHAR> scratch(iv.begin(), iv.end());
    ULONG size = 0;
    if (!Ok(BCryptDecrypt(symmetricKey.get(), Bytes(ciphertext), Size(ciphertext), nullptr,
                          scratch.data(), Size(iv), nullptr, 0, &size, 0))) {
        throw std::runtime_error("BCryptDecrypt (size query) failed");
    }
    std::string plain(size, '\0');
    scratch.assign(iv.begin(), iv.end());
    if (!Ok(BCryptDecrypt(symmetricKey.get(), Bytes(ciphertext), Size(ciphertext), nullptr,
                          scratch.data(), Size(iv), reinterpret_cast<PUCHAR>(plain.data()), size,
                          &size, 0))) {
        throw std::runtime_error("BCryptDecrypt failed");
    }
    plain.resize(size);
    return StripBlockPadding(std::move(plain));
}

std::string AesCbcEncrypt(std::string_view plaintext, std::string_view key, std::string_view iv) {
    Provider provider(BCRYPT_AES_ALGORITHM, 0, "BCryptOpenAlgorithmProvider failed");
    UseCbc(provider);
    CheckAesKey(key);
    SymmetricKey symmetricKey(provider, key);
    if (iv.size() != 16)
        throw std::runtime_error("BCryptEncrypt failed");

    std::vector<UCHAR> scratch(iv.begin(), iv.end());
    ULONG size = 0;
    if (!Ok(BCryptEncrypt(symmetricKey.get(), Bytes(plaintext), Size(plaintext), nullptr,
                          scratch.data(), Size(iv), nullptr, 0, &size, BCRYPT_BLOCK_PADDING))) {
        throw std::runtime_error("BCryptEncrypt failed");
    }
    std::string cipher(size, '\0');
    scratch.assign(iv.begin(), iv.end());
    if (!Ok(BCryptEncrypt(symmetricKey.get(), Bytes(plaintext), Size(plaintext), nullptr,
                          scratch.data(), Size(iv), reinterpret_cast<PUCHAR>(cipher.data()), size,
                          &size, BCRYPT_BLOCK_PADDING))) {
        throw std::runtime_error("BCryptEncrypt failed");
    }
    cipher.resize(size);
    return cipher;
}

std::string RandomBytes(std::size_t count) {
    std::string out(count, '\0');
    Provider provider(BCRYPT_RNG_ALGORITHM, 0, "BCryptOpenAlgorithmProvider failed");
    if (!Ok(BCryptGenRandom(provider.get(), reinterpret_cast<PUCHAR>(out.data()), Size(out), 0))) {
        throw std::runtime_error("BCryptGenRandom failed");
    }
    return out;
}

}  // namespace kestrum
