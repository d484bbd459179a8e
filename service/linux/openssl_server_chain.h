#pragma once

#include <openssl/x509.h>

#include "service/server_chain.h"

namespace kestrum {

enum class ChainSource {
    kAsSent,           // only the certificates the server sent
    kWithSystemStore,  // completed from the system's trust store where it holds the issuer
};

// The chain of a TLS server as the pin check sees it: the certificates the server sent,
// built upwards from the leaf. Errors of the chain (unknown authority, expiry, names) are
// not judged here. Empty when there is no leaf. The system's trust store is read on the
// first call that asks for it, once per process.
ServerChain BuildServerChain(X509* leaf, STACK_OF(X509) * sent,
                             ChainSource source = ChainSource::kWithSystemStore);

}  // namespace kestrum
