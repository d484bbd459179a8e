#include "tools/kestrum_platform/links.h"

#include "common/app_context.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "link/envelope.h"

namespace kestrum::platform {

std::string MintLink(const std::string& token, const std::string& content,
                     const std::string& server) {
    const SecretText key = RestoreProfileSecret(ProfileItem::kLinkKey);
    return Utf16ToUtf8(AppContext::schemeName) + ":" + EncryptEnvelope(token, key.value()) + ":" +
           EncryptEnvelope(content, key.value()) + ":" + EncryptEnvelope(server, key.value());
}

}  // namespace kestrum::platform
