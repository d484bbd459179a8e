// The splash on the virtual display, read back from the screen: where the layout puts it,
// the image's own pixels where it is opaque, the desktop where it is transparent, its edges
// blended (never black), and nothing left once it is closed.
#include <gtest/gtest.h>

#include <objidl.h>
// after objidl.h
#include <gdiplus.h>
#include <shlwapi.h>

#include <cstdlib>
#include <string>

#include "app/splash_layout.h"
#include "app/win32/splash_win32.h"
#include "screen_capture_win32.h"

namespace kestrum {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

class SplashTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
    }
    static void TearDownTestSuite() { GdiplusShutdown(token_); }
    void TearDown() override { CloseSplash(); }

    static ULONG_PTR token_;
};
ULONG_PTR SplashTest::token_ = 0;

// The splash image's straight (not premultiplied) ARGB pixels, from this program's resources.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<UINT32> argb;
};

Image ResourceImage() {
    Image image;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(102), RT_RCDATA);
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    const void* bytes = size ? LockResource(LoadResource(module, resource)) : nullptr;
    if (!bytes)
        return image;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(bytes), size);
    GpBitmap* bitmap = nullptr;
    if (stream && GdipCreateBitmapFromStream(stream, &bitmap) == Ok) {
        UINT w = 0, h = 0;
        GdipGetImageWidth(bitmap, &w);
        GdipGetImageHeight(bitmap, &h);
        image.width = static_cast<int>(w);
        image.height = static_cast<int>(h);
        const GpRect all{0, 0, image.width, image.height};
        BitmapData data{};
        if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &data) ==
            Ok) {
            for (int y = 0; y < image.height; ++y) {
                const auto* row = reinterpret_cast<const UINT32*>(
                    static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
                image.argb.insert(image.argb.end(), row, row + image.width);
            }
            GdipBitmapUnlockBits(bitmap, &data);
        }
        GdipDisposeImage(bitmap);
    }
    if (stream)
        stream->Release();
    return image;
}

int Channel(UINT32 colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

bool Near(UINT32 seen, UINT32 wanted, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(seen, shift) - Channel(wanted, shift)) > tolerance)
            return false;
    }
    return true;
}

// The colour `argb` laid over `below` with its alpha.
UINT32 Blend(UINT32 argb, UINT32 below) {
    const int alpha = Channel(argb, 24);
    UINT32 out = 0;
    for (int shift : {0, 8, 16}) {
        const int value =
            (Channel(argb, shift) * alpha + Channel(below, shift) * (255 - alpha)) / 255;
        out |= static_cast<UINT32>(value) << shift;
    }
    return out;
}

TEST(SplashPixels, PremultipliesEachColourByAlphaWithIntegerDivision) {
    struct Case {
        UINT32 argb;
        UINT32 premultiplied;
    } cases[] = {
        {0xFFFFFFFF, 0xFFFFFFFF}, {0x00FFFFFF, 0x00000000}, {0x80FF8040, 0x80804020},
        {0x01FFFFFF, 0x01010101}, {0xFE010203, 0xFE000102}, {0x7F000000, 0x7F000000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splash_internal::Premultiply(c.argb), c.premultiplied) << std::hex << c.argb;
    }
}

TEST_F(SplashTest, ShowsTheImageCentredWithItsAlphaAndClosesWithoutTrace) {
    const Image image = ResourceImage();
    ASSERT_EQ(image.width, 700);
    ASSERT_EQ(image.height, 169);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const auto place = PlaceSplash({700, 169}, {700, 450}, {0, 0, screenWidth, screenHeight});
    ASSERT_TRUE(place.has_value());
    ASSERT_EQ(place->width, 700) << "the test display is expected to fit the image unscaled";

    const ScreenImage before = CaptureWholeScreen();
    HWND splash = ShowSplash(nullptr, 700, 450);
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(ShowSplash(nullptr, 700, 450), splash) << "a second call shows nothing new";

    wchar_t text[64]{};
    GetClassNameW(splash, text, 64);
    EXPECT_STREQ(text, L"MolvaneTransparentSplashClass");
    GetWindowTextW(splash, text, 64);
    EXPECT_STREQ(text, L"Molvane Splash");
    const LONG_PTR exStyle = GetWindowLongPtrW(splash, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(splash, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(splash, GCLP_HCURSOR)),
              LoadCursorW(nullptr, IDC_APPSTARTING))
        << "the busy cursor while the player starts";
    RECT rect{};
    GetWindowRect(splash, &rect);
    EXPECT_EQ(rect.left, (screenWidth - 700) / 2);
    EXPECT_EQ(rect.top, (screenHeight - 169) / 2);
    EXPECT_EQ(rect.right - rect.left, 700);
    EXPECT_EQ(rect.bottom - rect.top, 169);
    EXPECT_EQ(SendMessageW(splash, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 5, rect.top + 5)),
              HTCAPTION)
        << "the image drags the window";

    // No message is handled from here on: the pixels must be on screen already.
    PumpFor(300);
    const ScreenImage shown = CaptureWholeScreen();
    long opaqueWrong = 0, clearWrong = 0, edgeWrong = 0, opaque = 0, clear = 0, edges = 0;
    for (int y = 0; y < 169; ++y) {
        for (int x = 0; x < 700; ++x) {
            const UINT32 wanted = image.argb[static_cast<std::size_t>(y * 700 + x)];
            const int alpha = Channel(wanted, 24);
            const int sx = rect.left + x;
            const int sy = rect.top + y;
            const UINT32 seen = shown.At(sx, sy);
            const UINT32 desktop = before.At(sx, sy);
            if (alpha == 255) {
                ++opaque;
                opaqueWrong += !Near(seen, wanted & 0xFFFFFF, 2);
            } else if (alpha == 0) {
                ++clear;
                clearWrong += seen != desktop;
            } else {
                // Laid over the desktop, or over black where the display cannot blend; in
                // either case never the colour unweighted, and never plain black for a
                // visible colour.
                const UINT32 premultiplied = splash_internal::Premultiply(wanted) & 0xFFFFFF;
                const bool visible = Channel(premultiplied, 0) + Channel(premultiplied, 8) +
                                         Channel(premultiplied, 16) >=
                                     48;
                if (!visible)
                    continue;
                ++edges;
                const bool blended =
                    Near(seen, Blend(wanted, desktop), 3) || Near(seen, premultiplied, 3);
                edgeWrong += !blended || seen == 0;
            }
        }
    }
    EXPECT_GT(opaque, 1000);
    EXPECT_GT(clear, 1000);
    EXPECT_GT(edges, 50);
    EXPECT_EQ(opaqueWrong, 0) << "opaque pixels differ from the image";
    EXPECT_EQ(clearWrong, 0) << "transparent pixels hide the desktop";
    EXPECT_EQ(edgeWrong, 0) << "half-transparent edges are not blended";

    CloseSplash();
    EXPECT_EQ(splash_internal::SplashWindow(), nullptr);
    EXPECT_FALSE(IsWindow(splash));
    CloseSplash();  // nothing left to close
    PumpFor(200);
    const ScreenImage after = CaptureWholeScreen();
    long changed = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            changed += after.At(x, y) != before.At(x, y);
    EXPECT_EQ(changed, 0) << "the closed splash left pixels behind";
}

TEST_F(SplashTest, ScalesDownToTheRequestedBounds) {
    // 350 wide at most: half the image, 85 rows (169 / 2 rounded).
    HWND splash = ShowSplash(nullptr, 350, 0);
    ASSERT_NE(splash, nullptr);
    RECT rect{};
    GetWindowRect(splash, &rect);
    EXPECT_EQ(rect.right - rect.left, 350);
    EXPECT_EQ(rect.bottom - rect.top, 85);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 350) / 2);
}

TEST_F(SplashTest, ItsOwnTimerClosesIt) {
    HWND splash = ShowSplash(nullptr, 700, 450);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(KillTimer(splash, splash_internal::kCloseTimerId)) << "the close timer runs";
    SendMessageW(splash, WM_TIMER, 1234, 0);
    EXPECT_TRUE(IsWindow(splash)) << "another timer leaves it";
    SendMessageW(splash, WM_TIMER, splash_internal::kCloseTimerId, 0);
    EXPECT_FALSE(IsWindow(splash));
    EXPECT_EQ(splash_internal::SplashWindow(), nullptr);
}

}  // namespace
}  // namespace kestrum
