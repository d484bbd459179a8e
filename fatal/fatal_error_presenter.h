#pragma once

namespace kestrum {

// Installs the platform's fatal error procedure (clipboard, countdown window, diagnostic
// dialog, exit code 0) as the presenter of ShowFatalErrorDialog. Called once by the start-up
// on the thread that runs the user interface, after the toolkit is initialised.
void InstallFatalErrorPresenter();

}  // namespace kestrum
