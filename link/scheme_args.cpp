#include "link/scheme_args.h"

#include <exception>

#include "common/debug_log.h"
#include "common/platform_profile.h"
#include "common/split_text.h"
#include "common/support_log.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "common/url_codec.h"
#include "link/content_url_rules.h"
#include "link/envelope.h"

namespace kestrum {
namespace {

// Runs `body` and turns any exception into the reason text "exception_<message>" or
// "unknown_exception"; link decoding never lets one escape.
template <typename Body>
bool Guarded(std::string& errorText, Body&& body) {
    try {
        return body();
    } catch (const std::exception& error) {
        errorText = std::string("exception_") + error.what();
        DebugLog(std::string("ParseSchemeArgs exception: ") + error.what());
    } catch (...) {
        errorText = "unknown_exception";
        DebugLog("ParseSchemeArgs unknown exception");
    }
    return false;
}

// The payload after the scheme word, percent-decoded, with the blanks a browser made of
// Base64 plus signs turned back, and the slashes around it removed.
std::u16string ExtractPayload(const std::u16string& linkArgument) {
    std::u16string decoded = UrlDecode(linkArgument);
    for (auto& unit : decoded) {
        if (unit == u' ')
            unit = u'+';
    }
    const std::u16string prefix = ToLowerCopy(AppContext::schemeName) + u":";
    if (const auto at = ToLowerCopy(decoded).find(prefix); at != std::u16string::npos) {
        decoded.erase(0, at + prefix.size());
    }
    TrimTrailingSlashes(decoded);
    if (!decoded.empty())
        TrimLeadingSlashes(decoded);
    return decoded;
}

// May throw; the callers guard it.
bool DecryptParts(const std::u16string& linkArgument, DecodedLink& link, std::string& errorText) {
    DebugLog("ParseSchemeArgs called with payload length: " + std::to_string(linkArgument.size()));
    const std::vector<std::u16string> parts = SplitText(ExtractPayload(linkArgument), u':');
    if (parts.size() < 3) {
        errorText = "split_failed_parts_" + std::to_string(parts.size());
        DebugLog("ParseSchemeArgs failed: less than 3 parts after split");
        return false;
    }

    const SecretText key = RestoreProfileSecret(ProfileItem::kLinkKey);
    link.token = DecryptEnvelope(Utf16ToUtf8(parts[0]), key.value());
    link.contentLinkId = DecryptEnvelope(Utf16ToUtf8(parts[1]), key.value());
    link.server = DecryptEnvelope(Utf16ToUtf8(parts[2]), key.value());
    if (link.token.empty() || link.contentLinkId.empty() || link.server.empty()) {
        errorText = "decrypt_failed_empty_strings";
        DebugLog("ParseSchemeArgs failed: one of the parts decrypted to empty string");
        return false;
    }
    // The link's values stay out of the support log, whichever trace line names them later.
    WithholdFromSupportLog(link.token);
    WithholdFromSupportLog(link.contentLinkId);
    WithholdFromSupportLog(link.server);
    DebugLog("Decrypted OK. Domain: " + link.server);
    TrimTrailingSlashes(link.server);
    WithholdFromSupportLog(link.server);
    return true;
}

std::u16string PageScriptAddress(std::int32_t numericId) {
    return Utf8ToUtf16(ProfileText(ProfileItem::kPageScriptUrlPrefix) + std::to_string(numericId));
}

bool IsDirectKind(const ContentData& data) {
    return data.type == "video" || data.type == "zoom" || data.type == "zoom_url" ||
           IsZoomUrl(Utf8ToUtf16(data.url));
}

// Only web addresses reach the content browser: a "javascript:" address would run in the
// player's window, a "file:" one show local files, a "data:" one get the page bridge.
bool CheckContentUrl(const std::u16string& contentUrl, std::string& errorText) {
    if (contentUrl.empty()) {
        errorText = "content_url_empty";
        DebugLog("ParseSchemeArgs failed: the content has no address");
        return false;
    }
    if (!IsWebAddress(contentUrl)) {
        errorText = "content_url_not_web";
        DebugLog("ParseSchemeArgs failed: the content address is not http or https");
        return false;
    }
    return true;
}

// Fills the content fields from the service's answer; false with the reason when its
// address cannot be shown.
bool ApplyContentData(const ContentData& data, AppContext& context, const LinkServices& services,
                      std::string& errorText) {
    context.contentKind = IsDirectKind(data) ? u"url_direct" : Utf8ToUtf16(data.type);
    context.watermarkText = Utf8ToUtf16(data.watermark);

    const std::u16string youtubeUrl = Utf8ToUtf16(data.youtubeUrl);
    if (!IsYouTubeUrl(youtubeUrl)) {
        context.contentUrl = Utf8ToUtf16(data.url);
        return CheckContentUrl(context.contentUrl, errorText);
    }
    context.contentUrl = NormalizeYouTubeUrl(youtubeUrl, context.linkServer);
    context.contentKind = u"url_direct";
    if (!CheckContentUrl(context.contentUrl, errorText))
        return false;
    // A page script that cannot be had is no failure: the video still plays.
    if (services.fetchPageScript) {
        if (const auto script = services.fetchPageScript(PageScriptAddress(data.numericId))) {
            context.pageScript = Utf8ToUtf16(*script);
        }
    }
    return true;
}

}  // namespace

bool DecodeLink(const std::u16string& linkArgument, DecodedLink& link, std::string& errorText) {
    return Guarded(errorText, [&] { return DecryptParts(linkArgument, link, errorText); });
}

bool ParseSchemeArgs(const std::u16string& linkArgument, std::string& errorText,
                     AppContext& context, const LinkServices& services) {
    return Guarded(errorText, [&] {
        DecodedLink link;
        if (!DecryptParts(linkArgument, link, errorText))
            return false;
        context.linkServer = Utf8ToUtf16(link.server);

        const std::u16string contentLinkId = Utf8ToUtf16(link.contentLinkId);
        if (StartsWith(contentLinkId, u"http://") || StartsWith(contentLinkId, u"https://")) {
            context.contentUrl = contentLinkId;
            context.contentKind = u"url_direct";
            context.watermarkText.clear();
            DebugLog("ParseSchemeArgs: contentLinkId is a direct URL. Skipping GetContentData.");
        } else {
            std::string serviceMessage;
            std::optional<ContentData> data;
            if (services.getContentData) {
                data = services.getContentData(context.linkServer, link.contentLinkId, link.token,
                                               serviceMessage);
            }
            if (!data) {
                errorText =
                    serviceMessage.empty() ? "api_content_data_failed" : "server:" + serviceMessage;
                DebugLog("ParseSchemeArgs failed: GetContentData returned empty value");
                return false;
            }
            if (!ApplyContentData(*data, context, services, errorText))
                return false;
        }
        DebugLog("ParseSchemeArgs succeeded");
        return true;
    });
}

}  // namespace kestrum
