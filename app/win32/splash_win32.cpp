#include "app/win32/splash_win32.h"

#include <objidl.h>
// after objidl.h
#include <gdiplus.h>

#include <cstring>

#include "app/splash_layout.h"

namespace kestrum {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

constexpr wchar_t kClassName[] = L"MolvaneTransparentSplashClass";
constexpr wchar_t kTitle[] = L"Molvane Splash";
constexpr int kSplashResource = 102;

HWND splashWindow = nullptr;  // main thread only
bool classRegistered = false;

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTCAPTION;  // the whole image drags the window
        case WM_TIMER:
            if (wParam == splash_internal::kCloseTimerId) {
                CloseSplash();
                return 0;
            }
            break;
        case WM_DESTROY:
            if (window == splashWindow)
                splashWindow = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterSplashClass(HINSTANCE module) {
    if (classRegistered)
        return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = SplashProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    classRegistered = true;
    return true;
}

// The resource's bytes in a stream that frees its memory when released.
IStream* ResourceStream(HINSTANCE module) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(kSplashResource), RT_RCDATA);
    if (!resource)
        return nullptr;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = size ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        return nullptr;
    void* target = GlobalLock(copy);
    if (!target) {
        GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    return stream;
}

// The image redrawn at the target size into a new 32-bit ARGB bitmap; null on failure.
GpBitmap* Scaled(GpBitmap* image, UINT width, UINT height, int targetWidth, int targetHeight) {
    GpBitmap* scaled = nullptr;
    if (GdipCreateBitmapFromScan0(targetWidth, targetHeight, 0, PixelFormat32bppARGB, nullptr,
                                  &scaled) != Ok) {
        return nullptr;
    }
    GpGraphics* graphics = nullptr;
    GpImageAttributes* attributes = nullptr;
    bool drawn = false;
    if (GdipGetImageGraphicsContext(scaled, &graphics) == Ok &&
        GdipCreateImageAttributes(&attributes) == Ok) {
        GdipSetCompositingMode(graphics, CompositingModeSourceCopy);
        GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBicubic);
        GdipSetSmoothingMode(graphics, SmoothingModeHighQuality);
        GdipSetPixelOffsetMode(graphics, PixelOffsetModeHighQuality);
        // Edge pixels are sampled from a mirror, not from transparent black outside.
        GdipSetImageAttributesWrapMode(attributes, WrapModeTileFlipXY, 0xFF000000, FALSE);
        drawn = GdipDrawImageRectRectI(graphics, image, 0, 0, targetWidth, targetHeight, 0, 0,
                                       static_cast<INT>(width), static_cast<INT>(height), UnitPixel,
                                       attributes, nullptr, nullptr) == Ok;
    }
    if (attributes)
        GdipDisposeImageAttributes(attributes);
    if (graphics)
        GdipDeleteGraphics(graphics);
    if (!drawn) {
        GdipDisposeImage(scaled);
        return nullptr;
    }
    return scaled;
}

// Copies the bitmap's pixels premultiplied into the top-down DIB's memory.
bool CopyPremultiplied(GpBitmap* bitmap, int width, int height, void* target) {
    const GpRect all{0, 0, width, height};
    BitmapData data{};
    if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok)
        return false;
    auto* out = static_cast<UINT32*>(target);
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const UINT32*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x)
            out[y * width + x] = splash_internal::Premultiply(row[x]);
    }
    GdipBitmapUnlockBits(bitmap, &data);
    return true;
}

// Hands the pixels to the system: the window shows them without ever painting.
bool PutOnScreen(HWND window, GpBitmap* bitmap, const PixelRect& place) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = place.width;
    info.bmiHeader.biHeight = -place.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool shown = false;
    if (memory && dib && bits && CopyPremultiplied(bitmap, place.width, place.height, bits)) {
        HGDIOBJ previous = SelectObject(memory, dib);
        POINT position{place.x, place.y};
        SIZE size{place.width, place.height};
        POINT source{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        shown = UpdateLayeredWindow(window, screen, &position, &size, memory, &source, 0, &blend,
                                    ULW_ALPHA) != FALSE;
        SelectObject(memory, previous);
    }
    if (dib)
        DeleteObject(dib);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shown;
}

HWND ShowFromImage(HINSTANCE module, GpBitmap* image, int maxWidth, int maxHeight) {
    UINT width = 0;
    UINT height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    if (width == 0 || height == 0)
        return nullptr;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const std::optional<PixelRect> place =
        PlaceSplash({static_cast<int>(width), static_cast<int>(height)}, {maxWidth, maxHeight},
                    {0, 0, screenWidth, screenHeight});
    if (!place)
        return nullptr;

    GpBitmap* shown = image;
    if (place->width != static_cast<int>(width) || place->height != static_cast<int>(height)) {
        shown = Scaled(image, width, height, place->width, place->height);
        if (!shown)
            return nullptr;
    }
    HWND window = nullptr;
    if (RegisterSplashClass(module)) {
        window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName,
                                 kTitle, WS_POPUP | WS_VISIBLE, place->x, place->y, place->width,
                                 place->height, nullptr, nullptr, module, nullptr);
    }
    if (window) {
        splashWindow = window;
        if (PutOnScreen(window, shown, *place)) {
            SetTimer(window, splash_internal::kCloseTimerId, kSplashCloseAfterMs, nullptr);
        } else {
            CloseSplash();
            window = nullptr;
        }
    }
    if (shown != image)
        GdipDisposeImage(shown);
    return window;
}

}  // namespace

HWND ShowSplash(HINSTANCE module, int maxWidth, int maxHeight) {
    if (splashWindow)
        return splashWindow;
    if (!module)
        module = GetModuleHandleW(nullptr);
    IStream* stream = ResourceStream(module);
    if (!stream)
        return nullptr;
    GpBitmap* image = nullptr;
    HWND window = nullptr;
    if (GdipCreateBitmapFromStream(stream, &image) == Ok && image) {
        window = ShowFromImage(module, image, maxWidth, maxHeight);
        GdipDisposeImage(image);
    }
    stream->Release();
    return window;
}

void CloseSplash() {
    if (!splashWindow)
        return;
    HWND window = splashWindow;
    KillTimer(window, splash_internal::kCloseTimerId);
    DestroyWindow(window);
    splashWindow = nullptr;
}

namespace splash_internal {

HWND SplashWindow() {
    return splashWindow;
}

UINT32 Premultiply(UINT32 argb) {
    const UINT32 alpha = argb >> 24;
    const UINT32 red = ((argb >> 16) & 0xFF) * alpha / 255;
    const UINT32 green = ((argb >> 8) & 0xFF) * alpha / 255;
    const UINT32 blue = (argb & 0xFF) * alpha / 255;
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

}  // namespace splash_internal
}  // namespace kestrum
