#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// What the display shows, read back through the screen's device context.
struct ScreenImage {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down

    std::uint32_t At(int screenX, int screenY) const {
        return pixels[static_cast<std::size_t>(screenY - y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(screenX - x)];
    }
};

inline ScreenImage CaptureScreen(int x, int y, int width, int height) {
    ScreenImage image{x, y, width, height, {}};
    image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ previous = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < image.pixels.size(); ++i)
            image.pixels[i] = source[i] & 0x00FFFFFFu;
        SelectObject(memory, previous);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

inline ScreenImage CaptureWholeScreen() {
    return CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// Handles the thread's messages for a while, so that windows paint and timers run.
inline void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}
