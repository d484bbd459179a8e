#pragma once

#include <memory>

#include "browser/browser_engine.h"

namespace kestrum {

// The browser engine of the Windows player. It prepares everything the runtime needs (the
// data folder and its write test, the runtime's environment variables, the runtime's version)
// and runs the main thread's message pump while a creation is pending. This build carries no
// loader for the browser runtime, so creating the environment fails the way the runtime's
// loader fails when it finds no runtime: HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND). The host
// then reports that failure to the learner.
std::unique_ptr<BrowserEngine> CreateWebView2Engine(BrowserWindow kind);

}  // namespace kestrum
