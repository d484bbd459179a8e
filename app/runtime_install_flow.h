#pragma once

namespace kestrum {

// How fetching the runtime's installer ended.
enum class InstallerDownload {
    kDone,       // the installer is in its file
    kFailed,     // nothing usable arrived (network, server, limits)
    kCancelled,  // the learner stopped it: the same as declining
};

// The steps of making sure a browser runtime is present, each done by the platform: looking
// for a runtime, the learner's boxes, the installer's download and run.
class RuntimeInstallSteps {
  public:
    virtual ~RuntimeInstallSteps() = default;
    // A private runtime in the folder beside the program that reports a version.
    virtual bool PrivateRuntimeAvailable() = 0;
    virtual bool InstalledRuntimeAvailable() = 0;
    // The question whether to install; true for yes.
    virtual bool LearnerAcceptsInstall() = 0;
    // Says the runtime is about to be downloaded and installed; returns once read.
    virtual void TellInstallStarts() = 0;
    virtual InstallerDownload DownloadInstaller() = 0;
    virtual void TellDownloadFailed() = 0;
    // Runs the downloaded installer and waits for it when it started.
    virtual void RunInstaller() = 0;
    virtual void DeleteInstaller() = 0;
    virtual void TellInstallFailed() = 0;
};

// True when a runtime is available at the end. An installer that did not lead to a runtime
// stays in its file for the learner to try by hand.
bool EnsureRuntimeThrough(RuntimeInstallSteps& steps);

}  // namespace kestrum
