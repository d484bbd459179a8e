#include "browser/linux/pinned_certificates.h"

#include <openssl/x509.h>

#include <memory>
#include <vector>

#include "browser/host_rules.h"
#include "common/text_encoding.h"
#include "service/linux/openssl_server_chain.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"

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

struct Handshake {
    std::u16string host;
    GTlsCertificate* accepted = nullptr;
};

gboolean OnAcceptCertificate(GTlsConnection*, GTlsCertificate* certificate, GTlsCertificateFlags,
                             gpointer data) {
    auto* handshake = static_cast<Handshake*>(data);
    if (!ChainPassesPins(certificate, handshake->host))
        return FALSE;
    handshake->accepted = G_TLS_CERTIFICATE(g_object_ref(certificate));
    return TRUE;
}

void OnClientEvent(GSocketClient*, GSocketClientEvent event, GSocketConnectable*,
                   GIOStream* connection, gpointer data) {
    if (event == G_SOCKET_CLIENT_TLS_HANDSHAKING && G_IS_TLS_CONNECTION(connection))
        g_signal_connect(connection, "accept-certificate", G_CALLBACK(OnAcceptCertificate), data);
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
    const int port = g_uri_get_port(parsed) > 0 ? g_uri_get_port(parsed) : 443;
    g_uri_unref(parsed);
    const auto pins = FindPins(Utf8ToUtf16(host));
    if (!context || !https || host.empty() || !pins || pins->pins.empty())
        return false;

    Handshake handshake{Utf8ToUtf16(host), nullptr};
    GSocketClient* client = g_socket_client_new();
    g_socket_client_set_tls(client, TRUE);
    g_socket_client_set_timeout(client, 3);
    g_signal_connect(client, "event", G_CALLBACK(OnClientEvent), &handshake);
    GSocketConnection* connection = g_socket_client_connect_to_host(
        client, host.c_str(), static_cast<guint16>(port), nullptr, nullptr);
    if (connection) {
        g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
        g_object_unref(connection);
    }
    g_object_unref(client);
    if (!handshake.accepted)
        return false;
    webkit_web_context_allow_tls_certificate_for_host(context, handshake.accepted, host.c_str());
    g_object_unref(handshake.accepted);
    return true;
}

}  // namespace kestrum
