#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Whether an update address may be handed to the desktop's opener: "https://" (any case)
// with a host that is the platform's domain or lies under it (compared in lower case, a
// trailing dot ignored), no user information, no percent sign in the host, and no blank,
// control character or backslash anywhere. Such an address can never be read as an option
// or reach a local file, a script or another protocol's handler.
bool IsSafeUpdateAddress(std::u16string_view address, std::u16string_view platformDomain);

// The address an update prompt opens: the service's offer when it is safe for the platform's
// domain, otherwise the built-in download address. Every platform's prompt opens only this.
std::u16string ChooseUpdateAddress(std::u16string_view offered);

}  // namespace kestrum
