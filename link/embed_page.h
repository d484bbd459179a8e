#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The page that frames content of kinds the browser does not show directly: a full-window
// frame around `contentUrl`, the watermark layer over it, and a script that tells the player
// the page is ready ("pageLoaded"). Every value is HTML-escaped where it is placed.
std::u16string BuildEmbedPage(std::u16string_view contentUrl, std::u16string_view watermarkText,
                              std::u16string_view title);

}  // namespace kestrum
