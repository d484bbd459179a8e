#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/kestrum_platform/service_profile.h"

namespace kestrum::platform {

struct Document {
    std::string contentType;
    std::string body;
};

// The site around the service: the home page, the start site (with "select-tenants" and a
// course page that carries the sample links), the sample content pages, the PDF and the
// download placeholders. `links` are (summary, link) pairs. Nothing for an unknown path.
std::optional<Document> SitePage(const ServiceProfile& profile, const std::string& path,
                                 const std::vector<std::pair<std::string, std::string>>& links);

}  // namespace kestrum::platform
