#include "app/player_support_log.h"

#include <string>

#include "common/app_context.h"
#include "common/support_log.h"
#include "common/support_log_folder.h"
#include "common/text_encoding.h"

namespace kestrum {

void StartPlayerSupportLog() {
    if (!StartSupportLog(SupportLogFolder()))
        return;
    WriteSupportLog("Kestrum " + Utf16ToUtf8(AppContext::versionText) + " started");
}

}  // namespace kestrum
