#include "tools/kestrum_platform/hostile_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "tools/kestrum_platform/hostile_answers.h"

namespace kestrum::platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxRequestHead = 32 * 1024;
constexpr std::size_t kMaxRequestBody = 1024 * 1024;
constexpr const char* kPrefix = "/__hostile/";

class TlsConnection final : public HostileConnection {
  public:
    TlsConnection(SSL* ssl, const std::atomic<bool>& stopping, std::chrono::seconds lifetime)
        : ssl_(ssl), stopping_(stopping), end_(Clock::now() + lifetime) {}

    bool Send(std::string_view bytes) override {
        if (!Alive())
            return false;
        return bytes.empty() || SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size())) ==
                                    static_cast<int>(bytes.size());
    }
    bool Pause(std::chrono::milliseconds time) override {
        const auto until = Clock::now() + time;
        while (Clock::now() < until) {
            if (!Alive())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return Alive();
    }
    bool Alive() const { return !stopping_ && Clock::now() < end_; }

  private:
    SSL* ssl_;
    const std::atomic<bool>& stopping_;
    Clock::time_point end_;
};

// Sends exactly the identity's chain, as the genuine listener does.
bool SetUpTls(SSL_CTX* context, const TlsIdentity& identity) {
    if (SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1 ||
        SSL_CTX_use_certificate(context, identity.leaf.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context, identity.key.get()) != 1 ||
        SSL_CTX_check_private_key(context) != 1 || SSL_CTX_clear_chain_certs(context) != 1)
        return false;
    for (const auto& certificate : identity.chain) {
        if (SSL_CTX_add1_chain_cert(context, certificate.get()) != 1)
            return false;
    }
    SSL_CTX_set_mode(context, SSL_MODE_NO_AUTO_CHAIN);
    return true;
}

struct RequestHead {
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers;
    std::size_t contentLength = 0;
};

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::optional<RequestHead> ParseHead(const std::string& head) {
    RequestHead request;
    std::size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const auto firstSpace = requestLine.find(' ');
    const auto secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos)
        return std::nullopt;
    request.method = requestLine.substr(0, firstSpace);
    request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd - start);
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        request.headers.emplace_back(line.substr(0, colon), value);
        if (Lower(line.substr(0, colon)) == "content-length")
            request.contentLength = std::strtoull(value.c_str(), nullptr, 10);
    }
    return request;
}

// The mode named by the target's first segment after the prefix; empty when none.
std::string ModeOf(const std::string& target) {
    if (target.rfind(kPrefix, 0) != 0)
        return {};
    const std::string rest = target.substr(std::char_traits<char>::length(kPrefix));
    return rest.substr(0, rest.find_first_of("/?"));
}

}  // namespace

HostileListener::HostileListener(RequestLog& log, const TlsIdentity& identity,
                                 std::chrono::seconds lifetime)
    : log_(log), lifetime_(lifetime) {
    context_ = SSL_CTX_new(TLS_server_method());
    if (!context_ || !SetUpTls(context_, identity))
        throw std::runtime_error("cannot set up TLS for the hostile listener");
}

HostileListener::~HostileListener() {
    Stop();
    if (socket_ >= 0)
        close(socket_);
    SSL_CTX_free(context_);
}

int HostileListener::Bind(const std::string& address, int port) {
    const auto fail = [&] {
        return std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) +
                                  " (in use, or the address is not on this machine)");
    };
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1)
        throw fail();
    socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0 || bind(socket_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
        listen(socket_, 16) != 0) {
        throw fail();
    }
    socklen_t length = sizeof where;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&where), &length);
    return ntohs(where.sin_port);
}

void HostileListener::Start() {
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

void HostileListener::Stop() {
    stopping_ = true;
    if (acceptor_.joinable())
        acceptor_.join();
    const std::lock_guard<std::mutex> guard(lock_);
    for (auto& connection : connections_) {
        if (connection.joinable())
            connection.join();
    }
    connections_.clear();
}

void HostileListener::AcceptLoop() {
    while (!stopping_) {
        pollfd waiting{socket_, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0)
            continue;
        const int connection = accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        // Reads and writes give up after a while, so that a peer that stops reading ends
        // its flood.
        const timeval limit{5, 0};
        setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        const std::lock_guard<std::mutex> guard(lock_);
        connections_.emplace_back([this, connection] { Serve(connection); });
    }
}

void HostileListener::Serve(int socket) {
    SSL* ssl = SSL_new(context_);
    if (ssl && SSL_set_fd(ssl, socket) == 1 && SSL_accept(ssl) == 1) {
        TlsConnection connection(ssl, stopping_, lifetime_);
        std::string buffer;
        bool keepOpen = true;
        while (keepOpen && connection.Alive()) {
            std::size_t headEnd = buffer.find("\r\n\r\n");
            char chunk[4096];
            while (headEnd == std::string::npos && buffer.size() < kMaxRequestHead) {
                const int read = SSL_read(ssl, chunk, sizeof chunk);
                if (read <= 0)
                    break;
                buffer.append(chunk, static_cast<std::size_t>(read));
                headEnd = buffer.find("\r\n\r\n");
            }
            if (headEnd == std::string::npos)
                break;
            const auto head = ParseHead(buffer.substr(0, headEnd));
            buffer.erase(0, headEnd + 4);
            if (!head || head->contentLength > kMaxRequestBody)
                break;
            while (buffer.size() < head->contentLength) {
                const int read = SSL_read(ssl, chunk, sizeof chunk);
                if (read <= 0)
                    break;
                buffer.append(chunk, static_cast<std::size_t>(read));
            }
            if (buffer.size() < head->contentLength)
                break;
            LoggedRequest entry;
            entry.listener = "hostile";
            entry.method = head->method;
            entry.target = head->target;
            entry.headers = head->headers;
            entry.body = buffer.substr(0, head->contentLength);
            buffer.erase(0, head->contentLength);
            log_.Record(std::move(entry));

            if (head->method == "HEAD") {
                connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
                continue;
            }
            keepOpen = WriteHostileAnswer(ModeOf(head->target), connection);
        }
        SSL_shutdown(ssl);
    }
    SSL_free(ssl);
    close(socket);
}

}  // namespace kestrum::platform
