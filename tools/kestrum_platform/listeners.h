#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "tools/kestrum_platform/chains.h"
#include "tools/kestrum_platform/platform_routes.h"
#include "tools/kestrum_platform/request_log.h"

namespace httplib {
class Server;
}

namespace kestrum::platform {

// The HTTP side: TLS listeners that record each request and hand it to the service, and the
// plain-HTTP control listener for tests. Listeners are bound first (so port 0 can be
// resolved before the service, whose addresses hold the port, exists), then started.
class Listeners {
  public:
    explicit Listeners(RequestLog& log);
    ~Listeners();
    Listeners(const Listeners&) = delete;
    Listeners& operator=(const Listeners&) = delete;

    // Each returns the bound port; throws std::runtime_error when it cannot listen.
    int BindTls(const std::string& name, const std::string& address, int port,
                const TlsIdentity& identity);
    int BindControl(const std::string& address, int port);

    // The service must outlive the listeners' threads (Stop joins them).
    void Start(PlatformService& service, nlohmann::ordered_json links);
    void Stop();

  private:
    int Bind(httplib::Server& server, const std::string& address, int port);
    void AddTlsRoutes(httplib::Server& server, const std::string& name);
    void AddControlRoutes(httplib::Server& server);

    RequestLog& log_;
    PlatformService* service_ = nullptr;
    nlohmann::ordered_json links_;
    std::vector<std::unique_ptr<httplib::Server>> servers_;
    std::vector<std::thread> threads_;
};

}  // namespace kestrum::platform
