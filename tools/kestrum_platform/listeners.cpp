#include "tools/kestrum_platform/listeners.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace kestrum::platform {
namespace {

constexpr size_t kMaxRequestBody = 8u * 1024 * 1024;

// A whole answer keeps the library's own status, which is 206 for a range of it: set to 200,
// a range request would get part of the body under "200 OK", and a media player that resumes
// a download (by range) stops with a network error.
void Apply(const Reply& reply, httplib::Response& response) {
    if (reply.status != 200)
        response.status = reply.status;
    for (const auto& [name, value] : reply.headers)
        response.set_header(name, value);
    response.set_content(reply.body, reply.contentType);
}

// Sends exactly the identity's chain, never one OpenSSL would assemble on its own.
bool SetUpTls(SSL_CTX& context, const TlsIdentity& identity) {
    SSL_CTX* ctx = &context;
    if (SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION) != 1 ||
        SSL_CTX_use_certificate(ctx, identity.leaf.get()) != 1 ||
        SSL_CTX_use_PrivateKey(ctx, identity.key.get()) != 1 ||
        SSL_CTX_check_private_key(ctx) != 1 || SSL_CTX_clear_chain_certs(ctx) != 1)
        return false;
    for (const auto& certificate : identity.chain) {
        if (SSL_CTX_add1_chain_cert(ctx, certificate.get()) != 1)
            return false;
    }
    SSL_CTX_set_mode(ctx, SSL_MODE_NO_AUTO_CHAIN);
    SSL_CTX_set_options(ctx, SSL_OP_NO_COMPRESSION);
    return true;
}

// The library files the connection's addresses among the request headers; the log shows
// what the client sent.
bool IsLibraryHeader(const std::string& name) {
    return name == "LOCAL_ADDR" || name == "LOCAL_PORT" || name == "REMOTE_ADDR" ||
           name == "REMOTE_PORT";
}

// The library's default also sets SO_REUSEPORT, with which a second stand-in binds a taken
// port without error and the kernel shares the connections between the two: a test would
// talk to another run's service. Only the restart after TIME_WAIT is allowed.
void ExclusivePort(int socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

// Answers leave at once, as a real server's do, instead of waiting for the client's ACK.
void Prepare(httplib::Server& server) {
    server.set_socket_options(ExclusivePort);
    server.set_tcp_nodelay(true);
}

// Why the port cannot be bound, found by binding it once more: the library does not say.
int BindError(const std::string& address, int port) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
        inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in);
    } else if (auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
               inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in6);
    } else {
        return EADDRNOTAVAIL;
    }
    const int probe = socket(storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return errno;
    ExclusivePort(probe);
    const int error = bind(probe, reinterpret_cast<sockaddr*>(&storage), length) == 0 ? 0 : errno;
    close(probe);
    return error;
}

template <typename Handler>
void OnEveryMethod(httplib::Server& server, const Handler& handler) {
    server.Get(".*", handler);
    server.Post(".*", handler);
    server.Put(".*", handler);
    server.Patch(".*", handler);
    server.Delete(".*", handler);
    server.Options(".*", handler);
}

}  // namespace

Listeners::Listeners(RequestLog& log) : log_(log) {}

Listeners::~Listeners() {
    Stop();
}

int Listeners::Bind(httplib::Server& server, const std::string& address, int port) {
    Prepare(server);
    const int bound = port == 0 ? server.bind_to_any_port(address)
                                : (server.bind_to_port(address, port) ? port : -1);
    if (bound > 0)
        return bound;
    if (port != 0 && BindError(address, port) == EADDRINUSE) {
        throw std::runtime_error("port " + std::to_string(port) + " on " + address +
                                 " is already in use (another stand-in or test run?); stop it "
                                 "or choose another port");
    }
    throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) +
                             " (the address is not on this machine)");
}

int Listeners::BindTls(const std::string& name, const std::string& address, int port,
                       const TlsIdentity& identity) {
    auto server = std::make_unique<httplib::SSLServer>(
        [&identity](SSL_CTX& context) { return SetUpTls(context, identity); });
    if (!server->is_valid())
        throw std::runtime_error("cannot set up TLS for the " + name + " listener");
    AddTlsRoutes(*server, name);
    const int bound = Bind(*server, address, port);
    servers_.push_back(std::move(server));
    return bound;
}

int Listeners::BindControl(const std::string& address, int port) {
    auto server = std::make_unique<httplib::Server>();
    AddControlRoutes(*server);
    const int bound = Bind(*server, address, port);
    servers_.push_back(std::move(server));
    return bound;
}

void Listeners::AddTlsRoutes(httplib::Server& server, const std::string& name) {
    server.set_payload_max_length(kMaxRequestBody);
    OnEveryMethod(
        server, [this, name](const httplib::Request& request, httplib::Response& response) {
            LoggedRequest entry;
            entry.listener = name;
            entry.method = request.method;
            entry.target = request.target;
            for (const auto& header : request.headers) {
                if (!IsLibraryHeader(header.first))
                    entry.headers.push_back(header);
            }
            entry.body = request.body;
            log_.Record(std::move(entry));
            try {
                Apply(service_->Answer({request.method, request.path,
                                        request.get_header_value("Content-Type"), request.body,
                                        QueryOf(request.target)}),
                      response);
            } catch (const std::exception& error) {
                Apply(MessageReply(500, std::string("Internal error: ") + error.what()), response);
            }
        });
}

void Listeners::AddControlRoutes(httplib::Server& server) {
    server.Get("/__log", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(log_.Json(), "application/json");
    });
    server.Post("/__log/clear", [this](const httplib::Request&, httplib::Response& response) {
        Apply(JsonReply(200, {{"cleared", log_.Clear()}}), response);
    });
    server.Get("/__links", [this](const httplib::Request&, httplib::Response& response) {
        Apply(JsonReply(200, links_), response);
    });
    server.Get("/__settings", [this](const httplib::Request&, httplib::Response& response) {
        Apply(JsonReply(200, service_->Settings()), response);
    });
    server.Post(
        "/__settings", [this](const httplib::Request& request, httplib::Response& response) {
            const nlohmann::json settings = nlohmann::json::parse(request.body, nullptr, false);
            const std::string error = settings.is_discarded() ? "the body must be a JSON object"
                                                              : service_->ChangeSettings(settings);
            Apply(error.empty() ? JsonReply(200, service_->Settings()) : MessageReply(400, error),
                  response);
        });
}

void Listeners::Start(PlatformService& service, nlohmann::ordered_json links) {
    service_ = &service;
    links_ = std::move(links);
    for (auto& server : servers_) {
        httplib::Server* listener = server.get();
        threads_.emplace_back([listener] { listener->listen_after_bind(); });
    }
}

void Listeners::Stop() {
    for (auto& server : servers_)
        server->stop();
    for (auto& thread : threads_) {
        if (thread.joinable())
            thread.join();
    }
    threads_.clear();
}

}  // namespace kestrum::platform
