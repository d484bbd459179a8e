#include <string>

#include "common/app_context.h"
#include "common/support_log_folder.h"
#include "common/win32/known_paths_win32.h"

namespace kestrum {

std::filesystem::path SupportLogFolder() {
    const std::wstring localAppData = LocalAppDataFolder();
    if (localAppData.empty())
        return {};
    const std::wstring product(AppContext::productName.begin(), AppContext::productName.end());
    return std::filesystem::path(localAppData) / product;
}

}  // namespace kestrum
