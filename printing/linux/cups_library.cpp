#include "printing/linux/cups_library.h"

#include <dlfcn.h>

#include <optional>

namespace kestrum {
namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

std::optional<CupsLibrary> Load() {
    // Kept for the rest of the process: its threads and connections may outlive any caller.
    void* library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::nullopt;
    CupsLibrary cups{};
    const bool complete =
        Find(library, "cupsGetDests2", cups.getDests2) &&
        Find(library, "cupsGetDest", cups.getDest) &&
        Find(library, "cupsFreeDests", cups.freeDests) &&
        Find(library, "cupsLastError", cups.lastError) &&
        Find(library, "cupsServer", cups.server) && Find(library, "cupsUser", cups.user) &&
        Find(library, "cupsEncryption", cups.encryption) &&
        Find(library, "cupsEncodeOptions2", cups.encodeOptions2) &&
        Find(library, "cupsSendRequest", cups.sendRequest) &&
        Find(library, "cupsWriteRequestData", cups.writeRequestData) &&
        Find(library, "cupsGetResponse", cups.getResponse) &&
        Find(library, "httpConnect2", cups.connect2) &&
        Find(library, "httpSetTimeout", cups.setTimeout) &&
        Find(library, "httpClose", cups.close) &&
        Find(library, "httpAssembleURIf", cups.assembleUriF) &&
        Find(library, "ippPort", cups.port) && Find(library, "ippNewRequest", cups.newRequest) &&
        Find(library, "ippAddString", cups.addString) && Find(library, "ippLength", cups.length) &&
        Find(library, "ippGetStatusCode", cups.getStatusCode) &&
        Find(library, "ippDelete", cups.deleteIpp);
    if (!complete) {
        dlclose(library);
        return std::nullopt;
    }
    return cups;
}

}  // namespace

const CupsLibrary* Cups() {
    static const std::optional<CupsLibrary> loaded = Load();
    return loaded ? &*loaded : nullptr;
}

}  // namespace kestrum
