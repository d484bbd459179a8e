#include "app/splash_layout.h"

#include <algorithm>

namespace kestrum {
namespace {

// One direction of the bounds. The 0.7 factor is applied in single precision on purpose: it
// decides the limit on screens whose size times 0.7 is close to an integer.
int LimitToArea(int requested, int area) {
    int limit = requested > 0 ? requested : 0;
    if (area > 0) {
        const float scaled = static_cast<float>(area) * 0.7f;
        const int share = static_cast<int>(scaled);
        if (share != 0 && share < limit) {
            limit = share;
        }
    }
    return limit;
}

int CentredOffset(int area, int size) {
    return std::max(0, (area - size) / 2);
}

}  // namespace

PixelSize SplashBounds(PixelSize requested, PixelSize area) {
    // A request of 0 means the default; a negative one cannot mean anything else.
    const int width = requested.width > 0 ? requested.width : kSplashMaxWidth;
    const int height = requested.height > 0 ? requested.height : kSplashMaxHeight;
    return {LimitToArea(width, area.width), LimitToArea(height, area.height)};
}

PixelSize SplashTargetSize(PixelSize image, PixelSize bounds) {
    if (image.width <= bounds.width && image.height <= bounds.height) {
        return image;
    }
    const float scale =
        std::min(static_cast<float>(bounds.width) / static_cast<float>(image.width),
                 static_cast<float>(bounds.height) / static_cast<float>(image.height));
    const float width = static_cast<float>(image.width) * scale + 0.5f;
    const float height = static_cast<float>(image.height) * scale + 0.5f;
    return {std::max(1, static_cast<int>(width)), std::max(1, static_cast<int>(height))};
}

std::optional<PixelRect> PlaceSplash(PixelSize image, PixelSize requested, PixelRect area) {
    if (image.width <= 0 || image.height <= 0) {
        return std::nullopt;
    }
    const PixelSize size =
        SplashTargetSize(image, SplashBounds(requested, {area.width, area.height}));
    return PixelRect{area.x + CentredOffset(area.width, size.width),
                     area.y + CentredOffset(area.height, size.height), size.width, size.height};
}

}  // namespace kestrum
