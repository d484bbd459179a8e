#include "tests/win32/support/screen_win32.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>

namespace kestrum::test {

std::uint32_t ScreenImage::At(int x, int y) const {
    const int column = x - left;
    const int row = y - top;
    if (column < 0 || row < 0 || column >= width || row >= height) {
        return 0xFF000000u;
    }
    return pixels[static_cast<std::size_t>(row) * width + column];
}

ScreenImage CaptureScreen(const RECT& area) {
    ScreenImage image;
    image.left = area.left;
    image.top = area.top;
    image.width = area.right - area.left;
    image.height = area.bottom - area.top;
    if (image.width <= 0 || image.height <= 0) {
        image.width = image.height = 0;
        return image;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(source, source + static_cast<std::size_t>(image.width) * image.height);
    for (std::uint32_t& pixel : image.pixels) {
        pixel &= 0xFFFFFFu;  // BGRA in memory reads as 0x00RRGGBB
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

ScreenImage CaptureWholeScreen() {
    return CaptureScreen(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

int CountColour(const ScreenImage& image, const RECT& area, std::uint32_t colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (image.At(x, y) == colour) {
                ++count;
            }
        }
    }
    return count;
}

namespace {

std::uint32_t Crc(const std::string& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        c = table[(c ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void Big32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    Big32(png, static_cast<std::uint32_t>(data.size()));
    std::string body(type, 4);
    body += data;
    png += body;
    Big32(png, Crc(body));
}

}  // namespace

bool SavePng(const ScreenImage& image, const std::wstring& path) {
    std::string header;
    Big32(header, static_cast<std::uint32_t>(image.width));
    Big32(header, static_cast<std::uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB

    std::string raw;
    raw.reserve(static_cast<std::size_t>(image.height) * (1 + 3 * image.width));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back('\0');  // no filter
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixels[static_cast<std::size_t>(y) * image.width + x];
            raw.push_back(static_cast<char>((p >> 16) & 0xFF));
            raw.push_back(static_cast<char>((p >> 8) & 0xFF));
            raw.push_back(static_cast<char>(p & 0xFF));
        }
    }
    // A zlib stream of stored blocks: no compression needed for a test's pictures.
    std::string zlib("\x78\x01", 2);
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - offset);
        const bool last = offset + length == raw.size();
        zlib.push_back(last ? '\x01' : '\x00');
        zlib.push_back(static_cast<char>(length & 0xFF));
        zlib.push_back(static_cast<char>(length >> 8));
        zlib.push_back(static_cast<char>(~length & 0xFF));
        zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
        zlib.append(raw, offset, length);
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char byte : raw) {
        a = (a + static_cast<unsigned char>(byte)) % 65521;
        b = (b + a) % 65521;
    }
    Big32(zlib, (b << 16) | a);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", zlib);
    Chunk(png, "IEND", "");
    std::ofstream file(path.c_str(), std::ios::binary);
    file.write(png.data(), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

std::string Hex(std::uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof(text), "#%06X", colour & 0xFFFFFFu);
    return text;
}

void Checks::Expect(bool passed, const std::string& what) {
    std::printf("%s: %s\n", passed ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    if (!passed) {
        ++failures_;
    }
}

void Checks::ExpectColour(const ScreenImage& image, int x, int y, std::uint32_t colour,
                          const std::string& what) {
    const std::uint32_t seen = image.At(x, y);
    Expect(seen == colour, what + " (" + std::to_string(x) + "," + std::to_string(y) + ") is " +
                               Hex(seen) + ", wanted " + Hex(colour));
}

void Checks::ExpectAtLeast(const ScreenImage& image, const RECT& area, std::uint32_t colour,
                           int minimum, const std::string& what) {
    const int count = CountColour(image, area, colour);
    Expect(count >= minimum, what + ": " + std::to_string(count) + " pixels of " + Hex(colour) +
                                 ", wanted at least " + std::to_string(minimum));
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, int milliseconds) {
    for (int waited = 0;; waited += 50) {
        HWND window = FindWindowW(className, title);
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        if (waited >= milliseconds) {
            return nullptr;
        }
        Sleep(50);
    }
}

RECT ClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

}  // namespace kestrum::test
