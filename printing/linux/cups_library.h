#pragma once

#include <cups/cups.h>

namespace kestrum {

// libcups, loaded on the first printer query or print job instead of at start: most starts
// print nothing, and the library brings a dozen others (Avahi, GnuTLS, Kerberos, D-Bus) into
// the process with it. Only its declarations are used from the header; the functions are
// these.
struct CupsLibrary {
    decltype(&cupsGetDests2) getDests2;
    decltype(&cupsGetDest) getDest;
    decltype(&cupsFreeDests) freeDests;
    decltype(&cupsLastError) lastError;
    decltype(&cupsServer) server;
    decltype(&cupsUser) user;
    decltype(&cupsEncryption) encryption;
    decltype(&cupsEncodeOptions2) encodeOptions2;
    decltype(&cupsSendRequest) sendRequest;
    decltype(&cupsWriteRequestData) writeRequestData;
    decltype(&cupsGetResponse) getResponse;
    decltype(&httpConnect2) connect2;
    decltype(&httpSetTimeout) setTimeout;
    decltype(&httpClose) close;
    decltype(&httpAssembleURIf) assembleUriF;
    decltype(&ippPort) port;
    decltype(&ippNewRequest) newRequest;
    decltype(&ippAddString) addString;
    decltype(&ippLength) length;
    decltype(&ippGetStatusCode) getStatusCode;
    decltype(&ippDelete) deleteIpp;
};

// The library, loaded on the first call (any thread); nothing when it is not installed or
// lacks one of the functions, and then printing has no printers.
const CupsLibrary* Cups();

}  // namespace kestrum
