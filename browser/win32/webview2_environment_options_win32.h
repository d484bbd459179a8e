#pragma once

#include <string>

#include "browser/win32/com_ref_win32.h"
#include "browser/win32/webview2/webview2_declarations.h"

namespace kestrum {

// The options handed to the runtime with an environment request: the runtime's defaults
// (target compatible browser version "149.0.4022.49", no language, no single sign-on) with
// the given browser arguments.
ComRef<ICoreWebView2EnvironmentOptions> NewEnvironmentOptions(
    const std::u16string& browserArguments);

}  // namespace kestrum
