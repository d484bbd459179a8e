#include "browser/request_handling.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "common/text_case.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "service/url_parts.h"

namespace kestrum {

RequestDecision DecideRequest(std::u16string_view url, BrowserWindow window,
                              const DeviceValues& device, std::u16string_view linkServer,
                              const std::function<bool(const std::u16string&)>& hostPinsPass) {
    RequestDecision decision;
    const std::u16string lower = ToLowerCopy(url);
    if (const std::u16string host = PinCheckHost(lower); !host.empty()) {
        // The host whose pins count is the host the engine connects to ("localhost." is
        // localhost); one the player refuses is never sent.
        const std::optional<std::u16string> reached = TransportHost(host);
        if (!reached || (hostPinsPass && !hostPinsPass(*reached))) {
            decision.blocked = true;
            decision.blockedHost = reached.value_or(host);
            return decision;
        }
    }
    decision.headers = RequestHeaders(url, window, device, linkServer);
    return decision;
}

std::string InterceptedHostCode(const std::u16string& host) {
    return "MITM_PIN_" + Utf16ToUtf8(host).substr(0, 100);
}

void ReportInterceptedHost(const std::u16string& host) {
    static std::atomic<bool> reported{false};
    if (reported.exchange(true))
        return;
    std::thread([code = InterceptedHostCode(host)] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ShowFatalErrorDialog(FatalError{
            u"Network Connection Intercepted - اتصال غير آمن",
            u"A security program is blocking the secure connection.\nPlease disable 'HTTPS "
            u"Scanning' or 'Web Shield' in your antivirus settings and try again.",
            u"برنامج حماية يمنع الاتصال الآمن.\nيرجى تعطيل خاصية 'فحص HTTPS' أو 'حماية الويب' "
            u"في إعدادات مكافح الفيروسات وحاول مرة أخرى.",
            code});
    }).detach();
}

}  // namespace kestrum
