#include "tools/kestrum_platform/keys.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/obj_mac.h>
#include <openssl/param_build.h>
#include <openssl/sha.h>

#include <stdexcept>
#include <vector>

#include "common/base64.h"

namespace kestrum::platform {
namespace {

template <typename T, void (*Free)(T*)>
struct Releaser {
    void operator()(T* object) const { Free(object); }
};
using BigNumber = std::unique_ptr<BIGNUM, Releaser<BIGNUM, BN_clear_free>>;
using Group = std::unique_ptr<EC_GROUP, Releaser<EC_GROUP, EC_GROUP_free>>;
using Point = std::unique_ptr<EC_POINT, Releaser<EC_POINT, EC_POINT_free>>;
using ParamBuilder = std::unique_ptr<OSSL_PARAM_BLD, Releaser<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>>;
using Params = std::unique_ptr<OSSL_PARAM, Releaser<OSSL_PARAM, OSSL_PARAM_free>>;
using KeyContext = std::unique_ptr<EVP_PKEY_CTX, Releaser<EVP_PKEY_CTX, EVP_PKEY_CTX_free>>;

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + OpenSslError());
}

}  // namespace

std::string OpenSslError() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return "no detail from OpenSSL";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

EvpKey DeriveKey(std::string_view seed) {
    unsigned char scalar[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(seed.data()), seed.size(), scalar);

    const Group group(EC_GROUP_new_by_curve_name(NID_X9_62_prime256v1));
    const BigNumber privateScalar(BN_bin2bn(scalar, sizeof scalar, nullptr));
    OPENSSL_cleanse(scalar, sizeof scalar);
    if (!group || !privateScalar)
        Fail("cannot set up P-256");
    // A digest at or above the group order (odds about 2^-32) would be no valid key: refuse
    // rather than silently reduce, so a seed always names exactly one key.
    if (BN_is_zero(privateScalar.get()) ||
        BN_cmp(privateScalar.get(), EC_GROUP_get0_order(group.get())) >= 0)
        throw std::runtime_error("seed \"" + std::string(seed) + "\" gives no valid P-256 key");

    const Point publicPoint(EC_POINT_new(group.get()));
    if (!publicPoint || EC_POINT_mul(group.get(), publicPoint.get(), privateScalar.get(), nullptr,
                                     nullptr, nullptr) != 1)
        Fail("cannot compute the public key");
    unsigned char encoded[65];
    const size_t encodedLength =
        EC_POINT_point2oct(group.get(), publicPoint.get(), POINT_CONVERSION_UNCOMPRESSED, encoded,
                           sizeof encoded, nullptr);
    if (encodedLength == 0)
        Fail("cannot encode the public key");

    const ParamBuilder builder(OSSL_PARAM_BLD_new());
    if (!builder ||
        OSSL_PARAM_BLD_push_utf8_string(builder.get(), OSSL_PKEY_PARAM_GROUP_NAME, "prime256v1",
                                        0) != 1 ||
        OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_PRIV_KEY, privateScalar.get()) != 1 ||
        OSSL_PARAM_BLD_push_octet_string(builder.get(), OSSL_PKEY_PARAM_PUB_KEY, encoded,
                                         encodedLength) != 1)
        Fail("cannot describe the key");
    const Params params(OSSL_PARAM_BLD_to_param(builder.get()));
    const KeyContext context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    EVP_PKEY* key = nullptr;
    if (!params || !context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
        EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_KEYPAIR, params.get()) != 1)
        Fail("cannot build the key");
    return EvpKey(key);
}

std::string PublicKeyPin(EVP_PKEY* key) {
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(key, &der);
    if (length <= 0)
        Fail("cannot encode the public key info");
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(der, static_cast<size_t>(length), digest);
    OPENSSL_free(der);
    return Base64Encode(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}

EvpKey ShareKey(EVP_PKEY* key) {
    EVP_PKEY_up_ref(key);
    return EvpKey(key);
}

Certificate ShareCertificate(X509* certificate) {
    X509_up_ref(certificate);
    return Certificate(certificate);
}

}  // namespace kestrum::platform
