#include <string>

#include "common/text_encoding.h"
#include "printing/linux/cups_library.h"
#include "printing/printer_list.h"

namespace kestrum {
namespace {

// A destination's name as lpstat shows it: the queue, then "/instance" for an instance.
std::u16string DestinationName(const cups_dest_t& destination) {
    std::string name = destination.name != nullptr ? destination.name : "";
    if (!name.empty() && destination.instance != nullptr && destination.instance[0] != '\0') {
        name += '/';
        name += destination.instance;
    }
    return Utf8ToUtf16(name);
}

}  // namespace

SpoolerPrinters QuerySpoolerPrinters() {
    SpoolerPrinters spooler;
    const CupsLibrary* cups = Cups();
    if (!cups)
        return spooler;
    cups_dest_t* destinations = nullptr;
    const int count = cups->getDests2(CUPS_HTTP_DEFAULT, &destinations);
    if (count <= 0 || destinations == nullptr) {
        cups->freeDests(count > 0 ? count : 0, destinations);
        return spooler;
    }
    spooler.names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        spooler.names.push_back(DestinationName(destinations[i]));
    }
    if (const cups_dest_t* fallback = cups->getDest(nullptr, nullptr, count, destinations)) {
        spooler.defaultName = DestinationName(*fallback);
    }
    cups->freeDests(count, destinations);
    return spooler;
}

}  // namespace kestrum
