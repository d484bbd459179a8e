#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/kestrum_platform/chains.h"
#include "tools/kestrum_platform/request_log.h"

typedef struct ssl_ctx_st SSL_CTX;

namespace kestrum::platform {

// A TLS listener with the genuine chain (so the player's pins pass) whose answers are
// hostile: a request for /__hostile/MODE (or any path below it) is answered in that mode,
// a HEAD request (the player's pre-flight) plainly, anything else with 404. Raw sockets,
// since the hostile modes break HTTP in ways an HTTP library will not. Each connection
// ends after `lifetime` at most (so a trickle or a flood that no client stops ends too),
// and all of them when the listener stops.
class HostileListener {
  public:
    HostileListener(RequestLog& log, const TlsIdentity& identity, std::chrono::seconds lifetime);
    ~HostileListener();
    HostileListener(const HostileListener&) = delete;
    HostileListener& operator=(const HostileListener&) = delete;

    // Returns the bound port; throws std::runtime_error when it cannot listen.
    int Bind(const std::string& address, int port);
    void Start();
    void Stop();

  private:
    void AcceptLoop();
    void Serve(int socket);

    RequestLog& log_;
    std::chrono::seconds lifetime_;
    SSL_CTX* context_ = nullptr;
    int socket_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::mutex lock_;  // guards connections_
    std::vector<std::thread> connections_;
};

}  // namespace kestrum::platform
