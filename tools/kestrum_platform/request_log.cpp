#include "tools/kestrum_platform/request_log.h"

#include "tools/kestrum_platform/reply.h"

namespace kestrum::platform {
namespace {

constexpr std::size_t kMaxEntries = 10000;
constexpr std::size_t kMaxBody = 64 * 1024;

}  // namespace

void RequestLog::Record(LoggedRequest request) {
    nlohmann::ordered_json headers = nlohmann::ordered_json::object();
    for (const auto& [name, value] : request.headers) {
        if (headers.contains(name))
            headers[name] = headers[name].get<std::string>() + ", " + value;
        else
            headers[name] = value;
    }
    const auto question = request.target.find('?');
    nlohmann::ordered_json entry;
    entry["listener"] = request.listener;
    entry["method"] = request.method;
    entry["target"] = request.target;
    entry["path"] = request.target.substr(0, question);
    entry["query"] = question == std::string::npos ? "" : request.target.substr(question + 1);
    entry["headers"] = std::move(headers);
    entry["bodyLength"] = request.body.size();
    if (request.body.size() > kMaxBody)
        request.body.resize(kMaxBody);
    entry["body"] = std::move(request.body);

    const std::lock_guard<std::mutex> guard(lock_);
    entry["seq"] = nextSeq_++;
    entries_.push_back(std::move(entry));
    if (entries_.size() > kMaxEntries)
        entries_.pop_front();
}

std::string RequestLog::Json() const {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    {
        const std::lock_guard<std::mutex> guard(lock_);
        for (const auto& entry : entries_)
            array.push_back(entry);
    }
    return JsonText(array);
}

std::size_t RequestLog::Clear() {
    const std::lock_guard<std::mutex> guard(lock_);
    const std::size_t count = entries_.size();
    entries_.clear();
    return count;
}

}  // namespace kestrum::platform
