#include "app/runtime_install_flow.h"

namespace kestrum {

bool EnsureRuntimeThrough(RuntimeInstallSteps& steps) {
    if (steps.PrivateRuntimeAvailable() || steps.InstalledRuntimeAvailable())
        return true;
    if (!steps.LearnerAcceptsInstall())
        return false;
    steps.TellInstallStarts();
    switch (steps.DownloadInstaller()) {
        case InstallerDownload::kDone:
            break;
        case InstallerDownload::kCancelled:
            return false;
        case InstallerDownload::kFailed:
            steps.TellDownloadFailed();
            return false;
    }
    steps.RunInstaller();
    if (steps.InstalledRuntimeAvailable()) {
        steps.DeleteInstaller();
        return true;
    }
    steps.TellInstallFailed();
    return false;
}

}  // namespace kestrum
