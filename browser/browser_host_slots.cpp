#include "browser/browser_host_slots.h"

#include <vector>

namespace kestrum {

BrowserHostSlots& TheBrowserHosts() {
    static BrowserHostSlots slots;
    return slots;
}

void CloseBrowserHosts() {
    constexpr unsigned kBrowserExitWaitMs = 5000;
    for (std::unique_ptr<ClosableHost>* slot :
         {&TheBrowserHosts().contentHost, &TheBrowserHosts().startHost}) {
        std::unique_ptr<ClosableHost> host = std::move(*slot);
        if (!host)
            continue;
        host->Close(kBrowserExitWaitMs);
        if (host->Busy()) {
            static std::vector<std::unique_ptr<ClosableHost>> retired;
            retired.push_back(std::move(host));
        }
    }
}

}  // namespace kestrum
