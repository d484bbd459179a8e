#pragma once

#include <openssl/x509.h>

#include "service/server_chain.h"

namespace kestrum {

// The chain of a TLS server as the pin check sees it: the certificates the server sent,
// built upwards from the leaf and completed from the system's trust store where it holds the
// issuer. Errors of the chain (unknown authority, expiry, names) are not judged here. Empty
// when there is no leaf.
ServerChain BuildServerChain(X509* leaf, STACK_OF(X509) * sent);

}  // namespace kestrum
