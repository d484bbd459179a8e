#include "browser/linux/pinned_certificates.h"

#include <openssl/x509.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/host_rules.h"
#include "common/text_encoding.h"
#include "service/linux/openssl_server_chain.h"
#include "service/page_host_pins.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"
#include "service/verified_servers.h"

namespace kestrum {
namespace {

struct X509Free {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using X509Ptr = std::unique_ptr<X509, X509Free>;

X509Ptr ToX509(GTlsCertificate* certificate) {
    GByteArray* der = nullptr;
    g_object_get(certificate, "certificate", &der, nullptr);
    if (!der)
        return nullptr;
    const unsigned char* bytes = der->data;
    X509Ptr parsed(d2i_X509(nullptr, &bytes, static_cast<long>(der->len)));
    g_byte_array_unref(der);
    return parsed;
}

bool ChainPassesPins(GTlsCertificate* certificate, const std::u16string& host) {
    const auto pins = FindPins(host);
    if (!pins || pins->pins.empty())
        return false;  // not ours to accept: the engine's own validation stands
    X509Ptr leaf = ToX509(certificate);
    if (!leaf)
        return false;
    std::vector<X509Ptr> sent;
    STACK_OF(X509)* stack = sk_X509_new_null();
    for (GTlsCertificate* issuer = g_tls_certificate_get_issuer(certificate); issuer;
         issuer = g_tls_certificate_get_issuer(issuer)) {
        if (X509Ptr parsed = ToX509(issuer)) {
            sk_X509_push(stack, parsed.get());
            sent.push_back(std::move(parsed));
        }
    }
    const ServerChain chain = BuildServerChain(leaf.get(), stack);
    sk_X509_free(stack);
    return ValidateServerPins(chain, host);
}

GTlsCertificate* CertificateFromDer(const std::string& der) {
    GByteArray* bytes = g_byte_array_new();
    g_byte_array_append(bytes, reinterpret_cast<const guint8*>(der.data()),
                        static_cast<guint>(der.size()));
    auto* certificate = static_cast<GTlsCertificate*>(
        g_initable_new(g_tls_backend_get_certificate_type(g_tls_backend_get_default()), nullptr,
                       nullptr, "certificate", bytes, nullptr));
    g_byte_array_unref(bytes);
    return certificate;
}

}  // namespace

bool AcceptPinnedCertificate(WebKitWebContext* context, const std::string& url,
                             GTlsCertificate* certificate) {
    const std::u16string host = HostOf(Utf8ToUtf16(url));
    if (!context || !certificate || host.empty() || !ChainPassesPins(certificate, host))
        return false;
    webkit_web_context_allow_tls_certificate_for_host(context, certificate,
                                                      Utf16ToUtf8(host).c_str());
    return true;
}

bool AcceptPinnedCertificate(WebKitWebContext* context, const std::string& url) {
    GUri* parsed = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!parsed)
        return false;
    const bool https = g_strcmp0(g_uri_get_scheme(parsed), "https") == 0;
    const std::string host = g_uri_get_host(parsed) ? g_uri_get_host(parsed) : "";
    g_uri_unref(parsed);
    if (!context || !https || host.empty())
        return false;
    PassedPageHosts();  // the check of the content's host may still be on its way
    const std::optional<std::string> der = PinnedCertificateOf(Utf8ToUtf16(host));
    if (!der)
        return false;
    GTlsCertificate* certificate = CertificateFromDer(*der);
    if (!certificate)
        return false;
    webkit_web_context_allow_tls_certificate_for_host(context, certificate, host.c_str());
    g_object_unref(certificate);
    return true;
}

}  // namespace kestrum
