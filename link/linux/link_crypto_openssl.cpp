#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>
#include <stdexcept>

#include "link/link_crypto.h"

namespace kestrum {
namespace {

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
struct MacFree {
    void operator()(EVP_MAC* mac) const { EVP_MAC_free(mac); }
};
struct MacContextFree {
    void operator()(EVP_MAC_CTX* context) const { EVP_MAC_CTX_free(context); }
};

const EVP_CIPHER* CipherForKey(std::string_view key) {
    switch (key.size()) {
        case 16:
            return EVP_aes_128_cbc();
        case 24:
            return EVP_aes_192_cbc();
        default:
            return EVP_aes_256_cbc();
    }
}

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string RunCipher(std::string_view input, std::string_view key, std::string_view iv,
                      bool encrypt) {
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    if (!context)
        throw std::runtime_error("BCryptOpenAlgorithmProvider failed");
    if (EVP_CipherInit_ex(context.get(), CipherForKey(key), nullptr, Bytes(key), Bytes(iv),
                          encrypt ? 1 : 0) != 1) {
        throw std::runtime_error("BCryptGenerateSymmetricKey failed");
    }
    // Decryption keeps the padding; StripBlockPadding checks it the same way on every platform.
    if (!encrypt)
        EVP_CIPHER_CTX_set_padding(context.get(), 0);
    const char* failure = encrypt ? "BCryptEncrypt failed" : "BCryptDecrypt failed";
    std::string out(input.size() + 16, '\0');
    int written = 0;
    int finished = 0;
    auto* outBytes = reinterpret_cast<unsigned char*>(out.data());
    if (EVP_CipherUpdate(context.get(), outBytes, &written, Bytes(input),
                         static_cast<int>(input.size())) != 1 ||
        EVP_CipherFinal_ex(context.get(), outBytes + written, &finished) != 1) {
        throw std::runtime_error(failure);
    }
    out.resize(static_cast<std::size_t>(written + finished));
    return out;
}

}  // namespace

std::string HmacSha256(std::string_view key, std::string_view data) {
    std::unique_ptr<EVP_MAC, MacFree> mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    if (!mac)
        throw std::runtime_error("BCryptOpenAlgorithmProvider HMAC failed");
    std::unique_ptr<EVP_MAC_CTX, MacContextFree> context(EVP_MAC_CTX_new(mac.get()));
    char digestName[] = "SHA256";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digestName, 0),
        OSSL_PARAM_construct_end()};
    if (!context || EVP_MAC_init(context.get(), Bytes(key), key.size(), params) != 1) {
        throw std::runtime_error("BCryptCreateHash failed");
    }
    if (EVP_MAC_update(context.get(), Bytes(data), data.size()) != 1) {
        throw std::runtime_error("BCryptHashData failed");
    }
    std::string tag(32, '\0');
    std::size_t length = 0;
    if (EVP_MAC_final(context.get(), reinterpret_cast<unsigned char*>(tag.data()), &length,
                      tag.size()) != 1 ||
        length != tag.size()) {
        throw std::runtime_error("BCryptFinishHash failed");
    }
    return tag;
}

std::string AesCbcDecrypt(std::string_view ciphertext, std::string_view key, std::string_view iv) {
    CheckAesKey(key);
    CheckAesDecryptInput(ciphertext, iv);
    return StripBlockPadding(RunCipher(ciphertext, key, iv, false));
}

std::string AesCbcEncrypt(std::string_view plaintext, std::string_view key, std::string_view iv) {
    CheckAesKey(key);
    if (iv.size() != 16)
        throw std::runtime_error("BCryptEncrypt failed");
    return RunCipher(plaintext, key, iv, true);
}

std::string RandomBytes(std::size_t count) {
    std::string out(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), static_cast<int>(count)) != 1) {
        throw std::runtime_error("BCryptGenRandom failed");
    }
    return out;
}

}  // namespace kestrum
