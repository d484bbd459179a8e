#include <gtest/gtest.h>

#include "app/splash_layout.h"

namespace kestrum {
namespace {

constexpr PixelSize kImage{700, 169};  // the shipped splash image
constexpr PixelSize kStartRequest{700, 450};

TEST(SplashLayout, BoundsFollowTheRequestAndSeventyPercentOfTheArea) {
    struct Case {
        const char* name;
        PixelSize requested;
        PixelSize area;
        PixelSize bounds;
    };
    const Case cases[] = {
        {"large screen keeps the request", kStartRequest, {1920, 1080}, {700, 450}},
        {"800 x 600 limits both sides", kStartRequest, {800, 600}, {560, 420}},
        {"70 % exactly equal to the request", kStartRequest, {1000, 643}, {700, 450}},
        {"70 % just below the request", kStartRequest, {990, 642}, {693, 449}},
        // Single precision: 10 * 0.7f rounds to 7 in float but to 6.99... in double.
        {"factor taken in single precision", {100, 100}, {10, 20}, {7, 14}},
        {"70 % truncated", kStartRequest, {801, 601}, {560, 420}},
        {"70 % of 1 pixel is 0 and limits nothing", kStartRequest, {1, 1}, {700, 450}},
        {"unknown area limits nothing", kStartRequest, {0, -5}, {700, 450}},
        {"zero request means 700 x 450", {0, 0}, {1920, 1080}, {700, 450}},
        {"negative request means 700 x 450", {-1, -300}, {1920, 1080}, {700, 450}},
        {"each side on its own", {0, 0}, {3000, 300}, {700, 210}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplashBounds(c.requested, c.area), c.bounds) << c.name;
    }
}

TEST(SplashLayout, ScalesDownOnlyAndKeepsTheAspect) {
    struct Case {
        const char* name;
        PixelSize image;
        PixelSize bounds;
        PixelSize target;
    };
    const Case cases[] = {
        {"fits: own size", kImage, {700, 450}, {700, 169}},
        {"smaller image is not enlarged", {100, 50}, {700, 450}, {100, 50}},
        {"width-limited: 0.8", kImage, {560, 420}, {560, 135}},
        {"height-limited", kImage, {896, 140}, {580, 140}},
        {"rounded to nearest: 693 / 700 of 169 is 167.31", kImage, {693, 449}, {693, 167}},
        {"two thirds of 3 x 5 is 2 x 3.33", {3, 5}, {2, 100}, {2, 3}},
        {"thin image keeps at least 1 pixel", {10000, 1}, {700, 450}, {700, 1}},
        {"tall image keeps at least 1 pixel", {1, 10000}, {700, 450}, {1, 450}},
        {"one side too large is enough to scale", {701, 10}, {700, 450}, {700, 10}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplashTargetSize(c.image, c.bounds), c.target) << c.name;
    }
}

TEST(SplashLayout, CentresInTheWorkArea) {
    struct Case {
        const char* name;
        PixelSize image;
        PixelSize requested;
        PixelRect area;
        PixelRect splash;
    };
    const Case cases[] = {
        {"1920 x 1080: own size, centred",
         kImage,
         kStartRequest,
         {0, 0, 1920, 1080},
         {610, 455, 700, 169}},
        {"800 x 600: scaled to 560 x 135",
         kImage,
         kStartRequest,
         {0, 0, 800, 600},
         {120, 232, 560, 135}},
        {"odd remainder rounds down",
         kImage,
         kStartRequest,
         {0, 0, 1280, 800},
         {290, 315, 700, 169}},
        {"area with an origin (panel, second monitor)",
         kImage,
         kStartRequest,
         {1920, 32, 1280, 768},
         {2210, 331, 700, 169}},
        {"unknown area: at its origin, not half off it",
         kImage,
         kStartRequest,
         {5, 7, 0, 0},
         {5, 7, 700, 169}},
        {"area smaller than the splash: at its origin",
         kImage,
         kStartRequest,
         {0, 0, 1, 1},
         {0, 0, 700, 169}},
    };
    for (const auto& c : cases) {
        const auto placed = PlaceSplash(c.image, c.requested, c.area);
        ASSERT_TRUE(placed.has_value()) << c.name;
        EXPECT_EQ(*placed, c.splash) << c.name;
    }
}

TEST(SplashLayout, AnImageWithoutPixelsIsNotShown) {
    const PixelRect area{0, 0, 1920, 1080};
    EXPECT_FALSE(PlaceSplash({0, 169}, kStartRequest, area).has_value());
    EXPECT_FALSE(PlaceSplash({700, 0}, kStartRequest, area).has_value());
    EXPECT_FALSE(PlaceSplash({-1, -1}, kStartRequest, area).has_value());
}

}  // namespace
}  // namespace kestrum
