#include "common/support_log.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#include "common/log_timestamp.h"
#include "common/rotating_log_file.h"

namespace kestrum {
namespace {

constexpr std::string_view kWithheld = "[withheld]";

struct SupportLogState {
    std::mutex mutex;
    std::unique_ptr<RotatingLogFile> file;
    std::vector<std::string> withheld;  // longest first, so a value inside another goes last
};

// Never destroyed: a thread may still log while the process runs its exit handlers.
SupportLogState& State() {
    static SupportLogState* state = new SupportLogState;
    return *state;
}

void ReplaceAll(std::string& text, std::string_view value) {
    for (std::size_t at = text.find(value); at != std::string::npos;
         at = text.find(value, at + kWithheld.size())) {
        text.replace(at, value.size(), kWithheld);
    }
}

// The caller holds the state's lock.
std::string ShareableText(const SupportLogState& state, std::string_view line) {
    std::string text(line);
    for (const std::string& value : state.withheld)
        ReplaceAll(text, value);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return text;
}

}  // namespace

bool StartSupportLog(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty())
        return false;
    std::filesystem::create_directories(folder, error);
    if (error)
        return false;
    SupportLogState& state = State();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.file = std::make_unique<RotatingLogFile>(folder / kSupportLogFileName, kSupportLogLimit);
    return true;
}

void StopSupportLog() {
    SupportLogState& state = State();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.file.reset();
}

std::string SupportLogText(std::string_view line) {
    SupportLogState& state = State();
    const std::lock_guard<std::mutex> lock(state.mutex);
    return ShareableText(state, line);
}

void WriteSupportLog(std::string_view line) {
    try {
        const auto now = std::chrono::system_clock::now();
        SupportLogState& state = State();
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (state.file)
            state.file->Append(FormatLogTimestamp(now) + " " + ShareableText(state, line));
    } catch (...) {
        // Out of memory while logging: the line is lost, the player goes on.
    }
}

void WithholdFromSupportLog(std::string_view secret) {
    if (secret.empty())
        return;
    SupportLogState& state = State();
    const std::lock_guard<std::mutex> lock(state.mutex);
    std::vector<std::string>& withheld = state.withheld;
    if (std::find(withheld.begin(), withheld.end(), secret) != withheld.end())
        return;
    withheld.emplace_back(secret);
    std::stable_sort(
        withheld.begin(), withheld.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

}  // namespace kestrum
