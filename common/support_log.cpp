#include "common/support_log.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include "common/log_timestamp.h"
#include "common/text_encoding.h"
#include "common/url_codec.h"

namespace kestrum {
namespace {

constexpr std::string_view kWithheld = "[withheld]";
constexpr std::string_view kCut = " [cut]";

// A short number (a content number such as "7") is withheld only where no digit touches it:
// inside other numbers it would blot out every count and length in the log. Anything else is
// withheld wherever it appears, even glued to other text, so no part of it is ever written.
constexpr std::size_t kShortNumber = 8;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsShortNumber(std::string_view value) {
    return value.size() < kShortNumber && std::all_of(value.begin(), value.end(), IsDigit);
}

bool InsideALongerNumber(const std::string& text, std::size_t at, std::size_t size) {
    return (at > 0 && IsDigit(text[at - 1])) ||
           (at + size < text.size() && IsDigit(text[at + size]));
}

void ReplaceAll(std::string& text, std::string_view value) {
    const bool numberOnly = IsShortNumber(value);
    for (std::size_t at = text.find(value); at != std::string::npos;) {
        if (numberOnly && InsideALongerNumber(text, at, value.size())) {
            at = text.find(value, at + 1);
            continue;
        }
        text.replace(at, value.size(), kWithheld);
        at = text.find(value, at + kWithheld.size());
    }
}

// `value` as it appears inside an address: percent-encoded, with lower- and upper-case digits.
std::vector<std::string> AddressForms(std::string_view value) {
    std::string lower = Utf16ToUtf8(UrlEncode(Utf8ToUtf16(value)));
    std::string upper = lower;
    for (std::size_t i = 0; i + 2 < upper.size(); ++i) {
        if (upper[i] != '%')
            continue;
        for (std::size_t digit = i + 1; digit <= i + 2; ++digit) {
            if (upper[digit] >= 'a' && upper[digit] <= 'f')
                upper[digit] = static_cast<char>(upper[digit] - 'a' + 'A');
        }
    }
    return {std::move(lower), std::move(upper)};
}

}  // namespace

bool SupportLog::Start(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty())
        return false;
    const bool made = std::filesystem::create_directories(folder, error);
    if (error)
        return false;
    // The learner's own, like the rest of their state: not for other users of the machine.
    if (made)
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    const std::lock_guard<std::mutex> lock(mutex_);
    file_ = std::make_unique<RotatingLogFile>(folder / kSupportLogFileName, kSupportLogLimit);
    return true;
}

void SupportLog::Stop() {
    const std::lock_guard<std::mutex> lock(mutex_);
    file_.reset();
}

std::string SupportLog::ShareableText(std::string_view line) const {
    std::string text(line);
    for (const std::string& value : withheld_)
        ReplaceAll(text, value);
    // After withholding, so that a cut never leaves half a secret behind.
    if (text.size() > kSupportLogLineLimit)
        text.replace(kSupportLogLineLimit - kCut.size(), std::string::npos, kCut);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return text;
}

void SupportLog::Write(std::string_view line) noexcept {
    try {
        const auto now = std::chrono::system_clock::now();
        const std::lock_guard<std::mutex> lock(mutex_);
        if (file_)
            file_->Append(FormatLogTimestamp(now) + " " + ShareableText(line));
    } catch (...) {
        // Out of memory while logging: the line is lost, the player goes on.
    }
}

void SupportLog::Withhold(std::string_view secret) {
    if (secret.empty())
        return;
    std::vector<std::string> forms = AddressForms(secret);
    forms.emplace_back(secret);
    const std::lock_guard<std::mutex> lock(mutex_);
    for (std::string& form : forms) {
        if (std::find(withheld_.begin(), withheld_.end(), form) == withheld_.end())
            withheld_.push_back(std::move(form));
    }
    std::stable_sort(
        withheld_.begin(), withheld_.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

SupportLog& TheSupportLog() {
    static SupportLog* log = new SupportLog;
    return *log;
}

}  // namespace kestrum
