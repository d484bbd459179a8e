#include "tools/kestrum_tool/resolve_command.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/platform_link_services.h"
#include "common/app_context.h"
#include "common/text_encoding.h"
#include "fatal/diagnostic_code.h"
#include "fatal/fatal_error.h"
#include "link/scheme_args.h"
#include "service/device_identity.h"
#include "service/dynamic_pins.h"
#include "service/pin_store.h"
#include "tools/kestrum_tool/tool_output.h"

namespace kestrum {
namespace {}  // namespace

int ResolveLinkCommand(const std::u16string& link) {
    // Where the player would end with the fatal dialog, the tool prints the code and goes on
    // to report the failure the link handling then returns.
    ReportFatalErrorsInstead([](const FatalError& error) {
        PrintLine("fatal: " + Utf16ToUtf8(error.title) + ", diagnostic code: " + error.code);
    });
    ReplacePins(DefaultPins());
    LoadDynamicPins();

    AppContext context;
    std::string error;
    if (!ParseSchemeArgs(link, error, context, PlatformLinkServices())) {
        // What the learner would be shown: the service's message, or a diagnostic code.
        if (error.rfind("server:", 0) == 0) {
            PrintLine("message: " + error.substr(7));
        } else {
            PrintLine("reason: " + error);
            PrintLine("diagnostic code: " + BuildDiagnosticCode(error, GetDeviceId));
        }
        return 1;
    }
    nlohmann::ordered_json out;
    out["linkServer"] = Utf16ToUtf8(context.linkServer);
    out["contentKind"] = Utf16ToUtf8(context.contentKind);
    out["contentUrl"] = Utf16ToUtf8(context.contentUrl);
    out["watermarkText"] = Utf16ToUtf8(context.watermarkText);
    out["pageScript"] = Utf16ToUtf8(context.pageScript);
    PrintLine(out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace));
    return 0;
}

}  // namespace kestrum
