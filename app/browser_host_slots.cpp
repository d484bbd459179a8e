#include "app/browser_host_slots.h"

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
        if (host)
            host->Close(kBrowserExitWaitMs);
    }
}

}  // namespace kestrum
