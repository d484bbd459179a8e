#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The process-wide application record. Identity fields are fixed; the link fields are
// written once by link decoding, before any reader runs (the start window may later replace
// linkServer with the origin of the page the learner is on).
struct AppContext {
    static constexpr std::u16string_view productName = u"Kestrum";
    static constexpr std::u16string_view schemeName = u"kestrum";
    static constexpr std::u16string_view versionText = u"4.11.0";
    static constexpr std::u16string_view makerName = u"Molvane";

    std::u16string linkServer;
    std::u16string contentUrl;
    std::u16string contentKind;  // "url_direct" or the service's content type ("pdf", ...)
    std::u16string watermarkText;
    std::u16string pageScript;
};

// The one record of this process.
AppContext& TheAppContext();

}  // namespace kestrum
