#include "tools/kestrum_platform/certificates.h"

#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace kestrum::platform {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + OpenSslError());
}

void AddExtension(X509* certificate, X509V3_CTX* context, int nid, const std::string& value) {
    X509_EXTENSION* extension = X509V3_EXT_nconf_nid(nullptr, context, nid, value.c_str());
    if (extension == nullptr)
        Fail("cannot make extension " + value);
    const int added = X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
    if (added != 1)
        Fail("cannot add extension " + value);
}

void SetName(X509_NAME* name, const CertificateSpec& spec) {
    const auto add = [name](const char* field, const std::string& value) {
        if (!value.empty() &&
            X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(value.c_str()), -1,
                                       -1, 0) != 1)
            Fail("cannot set name field " + std::string(field));
    };
    add("O", spec.organization);
    add("CN", spec.commonName);
}

// Random, positive, 16 bytes: certificates are made afresh at every start, and two
// different certificates under one issuer and serial would confuse clients that cache them.
void SetRandomSerial(X509* certificate) {
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        Fail("no random serial");
    bytes[0] &= 0x7F;
    bytes[0] |= 0x01;
    BIGNUM* number = BN_bin2bn(bytes, sizeof bytes, nullptr);
    const bool set = number != nullptr &&
                     BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate)) != nullptr;
    BN_free(number);
    if (!set)
        Fail("cannot set the serial");
}

std::string DrainBio(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(length));
    BIO_free(bio);
    return text;
}

}  // namespace

Certificate IssueCertificate(const CertificateSpec& spec, EVP_PKEY* subjectKey, X509* issuer,
                             EVP_PKEY* signingKey) {
    Certificate certificate(X509_new());
    X509* cert = certificate.get();
    if (cert == nullptr || X509_set_version(cert, X509_VERSION_3) != 1)
        Fail("cannot make a certificate");
    SetRandomSerial(cert);
    constexpr long kDay = 24L * 60 * 60;
    if (X509_gmtime_adj(X509_getm_notBefore(cert), -kDay) == nullptr ||
        X509_gmtime_adj(X509_getm_notAfter(cert), 365 * kDay) == nullptr)
        Fail("cannot set the validity");
    SetName(X509_get_subject_name(cert), spec);
    if (X509_set_issuer_name(cert, issuer != nullptr ? X509_get_subject_name(issuer)
                                                     : X509_get_subject_name(cert)) != 1 ||
        X509_set_pubkey(cert, subjectKey) != 1)
        Fail("cannot set issuer or key");

    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer != nullptr ? issuer : cert, cert, nullptr, nullptr, 0);
    if (spec.authority) {
        std::string constraints = "critical,CA:TRUE";
        if (spec.pathLength >= 0)
            constraints += ",pathlen:" + std::to_string(spec.pathLength);
        AddExtension(cert, &context, NID_basic_constraints, constraints);
        AddExtension(cert, &context, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(cert, &context, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(cert, &context, NID_key_usage, "critical,digitalSignature");
        AddExtension(cert, &context, NID_ext_key_usage, "serverAuth");
        if (!spec.subjectAltNames.empty())
            AddExtension(cert, &context, NID_subject_alt_name, spec.subjectAltNames);
    }
    AddExtension(cert, &context, NID_subject_key_identifier, "hash");
    AddExtension(cert, &context, NID_authority_key_identifier, "keyid");

    if (X509_sign(cert, signingKey, EVP_sha256()) == 0)
        Fail("cannot sign the certificate for " + spec.commonName);
    return certificate;
}

std::string CertificatePem(X509* certificate) {
    BIO* bio = BIO_new(BIO_s_mem());
    if (bio == nullptr || PEM_write_bio_X509(bio, certificate) != 1) {
        BIO_free(bio);
        Fail("cannot write a certificate");
    }
    return DrainBio(bio);
}

std::string PrivateKeyPem(EVP_PKEY* key) {
    BIO* bio = BIO_new(BIO_s_mem());
    if (bio == nullptr ||
        PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr) != 1) {
        BIO_free(bio);
        Fail("cannot write a private key");
    }
    return DrainBio(bio);
}

}  // namespace kestrum::platform
