#include "link/content_url_rules.h"

#include "common/text_case.h"
#include "common/url_codec.h"

namespace kestrum {
namespace {

constexpr std::u16string_view kYouTubeDomain = u"youtube.com";
constexpr std::u16string_view kYouTubeShortDomain = u"youtu.be";
constexpr std::u16string_view kYouTubeEmbedBase = u"https://www.youtube.com/embed/";
constexpr std::u16string_view kZoomDomain = u"zoom.us";

constexpr auto npos = std::u16string_view::npos;

// From `start` up to the first of the given stop characters (tried in order), or the end.
std::u16string_view TakeUntil(std::u16string_view address, std::size_t start,
                              std::u16string_view stops) {
    for (char16_t stop : stops) {
        const std::size_t end = address.find(stop, start);
        if (end != npos)
            return address.substr(start, end - start);
    }
    return address.substr(start);
}

std::u16string WithOrigin(std::u16string_view address, std::u16string_view origin) {
    if (Contains(address, u"origin="))
        return std::u16string(address);
    const char16_t* separator = Contains(address, u"?") ? u"&" : u"?";
    return std::u16string(address) + separator + u"origin=" + std::u16string(origin);
}

}  // namespace

bool IsWebAddress(std::u16string_view address) {
    for (char16_t unit : address) {
        if (unit < u' ' || unit == 0x7F)
            return false;
    }
    const std::u16string lower = ToLowerAscii(address.substr(0, 8));
    std::size_t hostStart = 0;
    if (StartsWith(lower, u"https://"))
        hostStart = 8;
    else if (StartsWith(lower, u"http://"))
        hostStart = 7;
    else
        return false;
    constexpr std::u16string_view kNoHost = u"/?#\\";
    return hostStart < address.size() && kNoHost.find(address[hostStart]) == npos;
}

bool IsYouTubeUrl(std::u16string_view address) {
    const std::u16string lower = ToLowerCopy(address);
    return Contains(lower, kYouTubeDomain) || Contains(lower, kYouTubeShortDomain);
}

bool IsZoomUrl(std::u16string_view address) {
    const std::u16string lower = ToLowerCopy(address);
    return Contains(lower, std::u16string(u".") + std::u16string(kZoomDomain)) ||
           Contains(lower, std::u16string(u"//") + std::u16string(kZoomDomain));
}

std::u16string NormalizeYouTubeUrl(std::u16string_view address, std::u16string_view linkServer) {
    const std::u16string lower = ToLowerCopy(address);
    const std::u16string origin = UrlEncode(linkServer);

    const std::u16string shortPrefix = std::u16string(kYouTubeShortDomain) + u"/";

    // The first rule whose marker is found decides.
    std::u16string_view id;
    if (const auto at = lower.find(shortPrefix); at != npos) {
        id = TakeUntil(address, at + shortPrefix.size(), u"?");
    } else if (Contains(lower, u"/embed/")) {
        return WithOrigin(address, origin);  // already an embed address: keep it whole
    } else if (const auto shorts = lower.find(u"/shorts/"); shorts != npos) {
        id = TakeUntil(address, shorts + 8, u"/?");
    } else if (const auto live = lower.find(u"/live/"); live != npos) {
        id = TakeUntil(address, live + 6, u"/?");
    } else if (const auto watch = lower.find(u"v="); watch != npos) {
        id = TakeUntil(address, watch + 2, u"&");
    }
    if (id.empty())
        return std::u16string(address);

    std::u16string videoId(id);
    while (!videoId.empty() && videoId.back() == u'/')
        videoId.pop_back();
    return std::u16string(kYouTubeEmbedBase) + videoId + u"?origin=" + origin;
}

}  // namespace kestrum
