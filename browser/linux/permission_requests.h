#pragma once

#include <webkit2/webkit2.h>

#include "browser/permission_rules.h"

namespace kestrum {

// The kind of a WebKit permission request.
PermissionKind PermissionKindOf(WebKitPermissionRequest* request);

// Answers a view's permission request by PermissionRule: at once, or after the learner's
// answer to a question box (one at a time; a request that comes while one is open is
// refused). Always handled here, so that nothing falls to WebKit's defaults, some of which
// allow.
void AnswerPermissionRequest(WebKitPermissionRequest* request);

}  // namespace kestrum
