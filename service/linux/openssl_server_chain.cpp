#include "service/linux/openssl_server_chain.h"

#include <openssl/evp.h>
#include <openssl/sha.h>

#include <memory>

#include "common/base64.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

X509_STORE* SystemTrustStore() {
    static X509_STORE* store = [] {
        X509_STORE* created = X509_STORE_new();
        if (created)
            X509_STORE_set_default_paths(created);
        return created;
    }();
    return store;
}

X509_STORE* EmptyStore() {
    static X509_STORE* store = X509_STORE_new();
    return store;
}

std::string PublicKeyPin(X509* certificate) {
    unsigned char* der = nullptr;
    const int length = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate), &der);
    if (length <= 0 || !der)
        return {};
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(der, static_cast<std::size_t>(length), digest);
    OPENSSL_free(der);
    return Base64Encode(std::string(reinterpret_cast<char*>(digest), sizeof digest));
}

// The name a person would read for the issuer: its common name, else its unit, its
// organisation or its e-mail address.
std::u16string IssuerDisplayName(X509* certificate) {
    const X509_NAME* issuer = X509_get_issuer_name(certificate);
    for (int nid : {NID_commonName, NID_organizationalUnitName, NID_organizationName,
                    NID_pkcs9_emailAddress}) {
        const int index = X509_NAME_get_index_by_NID(issuer, nid, -1);
        if (index < 0)
            continue;
        unsigned char* utf8 = nullptr;
        const int length = ASN1_STRING_to_UTF8(
            &utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(issuer, index)));
        if (length <= 0 || !utf8)
            continue;
        std::u16string name = Utf8ToUtf16(
            std::string(reinterpret_cast<char*>(utf8), static_cast<std::size_t>(length)));
        OPENSSL_free(utf8);
        if (!name.empty())
            return name;
    }
    return {};
}

int AcceptEveryError(int /*ok*/, X509_STORE_CTX* /*context*/) {
    return 1;
}

}  // namespace

ServerChain BuildServerChain(X509* leaf, STACK_OF(X509) * sent, ChainSource source) {
    if (!leaf)
        return {};  // nothing could be read: no pin can match, no exception can hold
    std::vector<X509*> certificates;
    STACK_OF(X509)* built = nullptr;
    if (X509_STORE_CTX* context = X509_STORE_CTX_new()) {
        X509_STORE* store =
            source == ChainSource::kWithSystemStore ? SystemTrustStore() : EmptyStore();
        if (store && X509_STORE_CTX_init(context, store, leaf, sent) == 1) {
            X509_STORE_CTX_set_verify_cb(context, AcceptEveryError);
            X509_verify_cert(context);
            built = X509_STORE_CTX_get1_chain(context);
        }
        X509_STORE_CTX_free(context);
    }
    if (built) {
        for (int i = 0; i < sk_X509_num(built); ++i)
            certificates.push_back(sk_X509_value(built, i));
    } else {
        certificates.push_back(leaf);
        for (int i = 0; sent && i < sk_X509_num(sent); ++i) {
            if (sk_X509_value(sent, i) != leaf)
                certificates.push_back(sk_X509_value(sent, i));
        }
    }

    ServerChain chain;
    for (std::size_t i = 0; i < certificates.size(); ++i) {
        ChainElement element;
        element.pin = PublicKeyPin(certificates[i]);
        element.issuerName = IssuerDisplayName(certificates[i]);
        if (i + 1 < certificates.size()) {
            EVP_PKEY* issuerKey = X509_get0_pubkey(certificates[i + 1]);
            element.signedByNext = issuerKey && X509_verify(certificates[i], issuerKey) == 1;
        }
        chain.push_back(std::move(element));
    }
    if (built)
        sk_X509_pop_free(built, X509_free);
    return chain;
}

}  // namespace kestrum
