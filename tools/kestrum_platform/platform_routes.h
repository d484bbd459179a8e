#pragma once

#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "tools/kestrum_platform/catalogue.h"
#include "tools/kestrum_platform/options.h"
#include "tools/kestrum_platform/reply.h"
#include "tools/kestrum_platform/service_profile.h"
#include "tools/kestrum_platform/stop_signal.h"

namespace kestrum::platform {

struct ServiceRequest {
    std::string method;
    std::string path;  // decoded, without query
    std::string contentType;
    std::string body;
    std::string query;  // as sent, after the "?"
};

// The platform's answers, the same on every TLS listener: the pins, version, content data
// and page-script endpoints, the site, and the test paths, with the switches of the command
// line. The answer modes can be changed while running (control listener).
class PlatformService {
  public:
    PlatformService(ServiceProfile profile, std::vector<SampleContent> catalogue,
                    std::vector<std::string> pins,
                    std::vector<std::pair<std::string, std::string>> links, const Options& options,
                    StopSignal& stop);

    Reply Answer(const ServiceRequest& request);

    nlohmann::ordered_json Settings() const;
    // Members "pins" and "version" as on the command line; an error text when refused.
    std::string ChangeSettings(const nlohmann::json& settings);

  private:
    Reply Route(const ServiceRequest& request);
    Reply PinsDocument() const;
    const ServiceProfile::VersionRoute* VersionRouteOf(const ServiceRequest& request) const;
    Reply VersionDocument(const ServiceProfile::VersionRoute& route) const;
    Reply TestPath(const std::string& path) const;

    const ServiceProfile profile_;
    const std::vector<SampleContent> catalogue_;
    const std::vector<std::string> pins_;
    const std::vector<std::pair<std::string, std::string>> links_;
    const std::vector<std::pair<std::string, std::string>> redirects_;
    const std::vector<std::pair<std::string, double>> slowPaths_;
    StopSignal& stop_;

    mutable std::mutex lock_;  // guards the two answer modes
    PinsAnswer pinsAnswer_;
    std::vector<std::string> extraPinScopes_;
    std::string versionAnswer_;
};

}  // namespace kestrum::platform
