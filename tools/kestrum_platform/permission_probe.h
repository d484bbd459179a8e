#pragma once

#include <optional>
#include <string>

#include "tools/kestrum_platform/reply.h"

namespace kestrum::platform {

// /content/permission-probe.html: asks for notifications and the learner's location at once,
// and for the screen when its button is clicked, reporting each answer through requests to
// /__test/report. Nothing for any other path.
std::optional<Reply> PermissionProbeReply(const std::string& path);

}  // namespace kestrum::platform
