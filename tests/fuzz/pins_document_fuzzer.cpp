// The service's pins document, as received at start-up.
#include <string>

#include "service/pin_store.h"
#include "service/pins_document.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    const auto entries = kestrum::ParsePinsDocument(body);
    if (!entries)
        return 0;
    // The built-in pins always lead; every entry after them pins something.
    const auto defaults = kestrum::DefaultPins();
    FUZZ_CHECK(entries->size() >= defaults.size());
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const auto& entry = (*entries)[i];
        if (i < defaults.size()) {
            FUZZ_CHECK(entry.scope == defaults[i].scope && entry.pins == defaults[i].pins);
        } else {
            FUZZ_CHECK(!entry.pins.empty());
        }
    }
    return 0;
}
