#include "tools/kestrum_platform/platform_routes.h"

#include <charconv>

#include "common/app_context.h"
#include "common/text_encoding.h"
#include "tools/kestrum_platform/content_endpoint.h"
#include "tools/kestrum_platform/documents.h"
#include "tools/kestrum_platform/lesson_media.h"
#include "tools/kestrum_platform/permission_probe.h"

namespace kestrum::platform {
namespace {

constexpr const char* kTestPrefix = "/__test/";
constexpr size_t kHugeBytes = 20u * 1024 * 1024;

// "4.11.0" gives {"4.11", "4.12"}: the running version and the next one, as the player
// compares them (as decimal numbers).
std::pair<std::string, std::string> RunningAndNextVersion() {
    const std::string text = Utf16ToUtf8(AppContext::versionText);
    const auto firstDot = text.find('.');
    const auto secondDot = text.find('.', firstDot + 1);
    const std::string major = text.substr(0, firstDot);
    const std::string minor = text.substr(firstDot + 1, secondDot - firstDot - 1);
    int minorNumber = 0;
    std::from_chars(minor.data(), minor.data() + minor.size(), minorNumber);
    return {major + "." + minor, major + "." + std::to_string(minorNumber + 1)};
}

bool IsRead(const std::string& method) {
    return method == "GET" || method == "HEAD";
}

}  // namespace

PlatformService::PlatformService(ServiceProfile profile, std::vector<SampleContent> catalogue,
                                 std::vector<std::string> pins,
                                 std::vector<std::pair<std::string, std::string>> links,
                                 const Options& options, StopSignal& stop)
    : profile_(std::move(profile)),
      catalogue_(std::move(catalogue)),
      pins_(std::move(pins)),
      links_(std::move(links)),
      redirects_(options.redirects),
      slowPaths_(options.slowPaths),
      stop_(stop),
      pinsAnswer_(options.pinsAnswer),
      extraPinScopes_(options.extraPinScopes),
      versionAnswer_(options.versionAnswer) {}

Reply PlatformService::Answer(const ServiceRequest& request) {
    for (const auto& [path, seconds] : slowPaths_) {
        if (path == request.path && !stop_.WaitFor(std::chrono::duration<double>(seconds)))
            return MessageReply(503, "The service is stopping.");
    }
    for (const auto& [path, location] : redirects_) {
        if (path == request.path)
            return {302, "text/plain", "Moved\n", {{"Location", location}}};
    }
    return Route(request);
}

Reply PlatformService::Route(const ServiceRequest& request) {
    const std::string& path = request.path;
    if (path == profile_.contentPath) {
        return AnswerContentRequest(profile_, catalogue_, request.method, request.contentType,
                                    request.body);
    }
    const bool pins = path == profile_.pinsPath;
    const ServiceProfile::VersionRoute* version = VersionRouteOf(request);
    const bool pageScript = path.rfind(profile_.pageScriptPrefix, 0) == 0;
    const bool test = path.rfind(kTestPrefix, 0) == 0;

    if (!IsRead(request.method)) {
        if (pins || version || pageScript || test)
            return MessageReply(405, request.method + " is not allowed here.");
        return MessageReply(404, "Not found.");
    }
    if (pins)
        return PinsDocument();
    if (version)
        return VersionDocument(*version);
    if (pageScript) {
        const auto script =
            PageScriptFor(catalogue_, path.substr(profile_.pageScriptPrefix.size()));
        if (!script)
            return {404, "text/plain", "No page script for this lesson.\n", {}};
        return {200, "application/javascript", *script, {}};
    }
    if (test)
        return TestPath(path);
    if (auto media = LessonMediaReply(path))
        return std::move(*media);
    if (auto probe = PermissionProbeReply(path))
        return std::move(*probe);
    if (auto page = SitePage(profile_, path, links_))
        return {200, page->contentType, std::move(page->body), {}};
    return MessageReply(404, "Not found.");
}

Reply PlatformService::PinsDocument() const {
    nlohmann::ordered_json prefixed = nlohmann::ordered_json::array();
    for (const auto& pin : pins_)
        prefixed.push_back("sha256/" + pin);
    const nlohmann::ordered_json entry = {{"scope", profile_.pinScope}, {"pins", prefixed}};
    nlohmann::ordered_json entries = nlohmann::ordered_json::array({entry});
    for (const auto& scope : extraPinScopes_)
        entries.push_back({{"scope", scope}, {"pins", prefixed}});
    const std::lock_guard<std::mutex> guard(lock_);
    switch (pinsAnswer_) {
        case PinsAnswer::kArray:
            return JsonReply(200, entries);
        case PinsAnswer::kObject:
            return JsonReply(200, entry);
        case PinsAnswer::kMalformed: {
            // Cut inside the first pin, as a broken connection or proxy would leave it.
            const std::string whole = JsonText(nlohmann::ordered_json::array({entry}));
            return {200, "application/json", whole.substr(0, whole.find("sha256/") + 12), {}};
        }
        case PinsAnswer::kError:
            return MessageReply(500, "Internal server error.");
    }
    return MessageReply(500, "Internal server error.");
}

// The platform whose query the request carries; a version path with any other query is
// answered as the first (Windows) build's.
const ServiceProfile::VersionRoute* PlatformService::VersionRouteOf(
    const ServiceRequest& request) const {
    const ServiceProfile::VersionRoute* samePath = nullptr;
    for (const auto& route : profile_.versionRoutes) {
        if (route.path != request.path)
            continue;
        if (route.query == request.query)
            return &route;
        if (!samePath)
            samePath = &route;
    }
    return samePath;
}

Reply PlatformService::VersionDocument(const ServiceProfile::VersionRoute& route) const {
    std::string answer;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        answer = versionAnswer_;
    }
    const auto [running, next] = RunningAndNextVersion();
    if (answer == "none")
        return JsonReply(200,
                         {{"version", running}, {"is_required", 0}, {"link", route.downloadUrl}});
    if (answer == "optional")
        return JsonReply(200, {{"version", next}, {"is_required", 0}, {"link", route.downloadUrl}});
    if (answer == "mandatory")
        return JsonReply(200, {{"version", next}, {"is_required", 1}, {"link", route.downloadUrl}});
    return {200, "application/json", answer, {}};
}

Reply PlatformService::TestPath(const std::string& path) const {
    const std::string name = path.substr(std::string(kTestPrefix).size());
    if (name == "redirect")
        return {302, "text/plain", "Moved\n", {{"Location", "/"}}};
    if (name == "garbage") {
        return {
            200, "text/html", "<html><body>Service temporarily unavailable</body></html>\n", {}};
    }
    if (name == "huge") {
        // A valid JSON array, so only its size can make a client refuse it.
        std::string body(kHugeBytes, ' ');
        body.front() = '[';
        for (size_t i = 1; i + 3 < kHugeBytes; i += 2) {
            body[i] = '0';
            body[i + 1] = ',';
        }
        body[kHugeBytes - 2] = '0';
        body.back() = ']';
        return {200, "application/json", std::move(body), {}};
    }
    const std::string statusPrefix = "status/";
    if (name.rfind(statusPrefix, 0) == 0) {
        const std::string digits = name.substr(statusPrefix.size());
        int status = 0;
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, status);
        if (digits.size() != 3 || error != std::errc() || stop != end || status < 200 ||
            status > 599)
            return MessageReply(400, "Use /__test/status/NNN with NNN from 200 to 599.");
        if (status == 204 || status == 304)
            return {status, "text/plain", "", {}};
        return MessageReply(status, "Status " + digits + " as asked.");
    }
    return MessageReply(404, "Unknown test path.");
}

nlohmann::ordered_json PlatformService::Settings() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return {{"pins", PinsAnswerName(pinsAnswer_)}, {"version", versionAnswer_}};
}

std::string PlatformService::ChangeSettings(const nlohmann::json& settings) {
    if (!settings.is_object())
        return "settings must be a JSON object";
    std::optional<PinsAnswer> pins;
    std::optional<std::string> version;
    for (const auto& [name, value] : settings.items()) {
        if (!value.is_string())
            return "\"" + name + "\" must be a string";
        const std::string text = value.get<std::string>();
        if (name == "pins") {
            pins = ParsePinsAnswer(text);
            if (!pins)
                return "\"pins\" must be array, object, malformed or error";
        } else if (name == "version") {
            if (!ValidVersionAnswer(text))
                return "\"version\" must be none, optional, mandatory or a JSON text";
            version = text;
        } else {
            return "unknown setting \"" + name + "\"";
        }
    }
    const std::lock_guard<std::mutex> guard(lock_);
    if (pins)
        pinsAnswer_ = *pins;
    if (version)
        versionAnswer_ = *version;
    return {};
}

}  // namespace kestrum::platform
