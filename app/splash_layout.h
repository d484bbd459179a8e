#pragma once

#include <optional>

namespace kestrum {

// Where and how large the splash appears: pure arithmetic shared by the platform backends.

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// A rectangle of the desktop in pixels; for the splash, the work area of the primary monitor.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// What the start-up asks for, and what a request of 0 (or less) stands for.
inline constexpr int kSplashMaxWidth = 700;
inline constexpr int kSplashMaxHeight = 450;
// The splash removes itself after this long at the latest.
inline constexpr int kSplashCloseAfterMs = 15000;

// The largest size the splash may take: the request, reduced to 70 % of the area in each
// direction where that is smaller. An area of unknown (non-positive) size reduces nothing.
PixelSize SplashBounds(PixelSize requested, PixelSize area);

// The size the image is shown at: its own when it fits the bounds, otherwise scaled down
// uniformly to fit, each side at least 1 pixel.
PixelSize SplashTargetSize(PixelSize image, PixelSize bounds);

// The splash's rectangle: target size, centred in the area (never before its origin). Empty
// when the image has no pixels.
std::optional<PixelRect> PlaceSplash(PixelSize image, PixelSize requested, PixelRect area);

}  // namespace kestrum
