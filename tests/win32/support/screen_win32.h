#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrum::test {

// Pixels read back from the display, as a person sees them: 0xRRGGBB, row by row.
struct ScreenImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // Screen coordinates; 0xFF000000 outside the image.
    std::uint32_t At(int x, int y) const;
};

// The screen's pixels in `area` (screen coordinates).
ScreenImage CaptureScreen(const RECT& area);
ScreenImage CaptureWholeScreen();

// How many pixels of `area` (screen coordinates) have exactly `colour`.
int CountColour(const ScreenImage& image, const RECT& area, std::uint32_t colour);

// Writes the image as a PNG file (uncompressed); false on a write error.
bool SavePng(const ScreenImage& image, const std::wstring& path);

std::string Hex(std::uint32_t colour);

// Pixel checks that report each result on standard output and count the failures.
class Checks {
  public:
    void Expect(bool passed, const std::string& what);
    void ExpectColour(const ScreenImage& image, int x, int y, std::uint32_t colour,
                      const std::string& what);
    void ExpectAtLeast(const ScreenImage& image, const RECT& area, std::uint32_t colour,
                       int minimum, const std::string& what);
    int failures() const { return failures_; }

  private:
    int failures_ = 0;
};

// The first visible top-level window of `className` (null: any) titled `title` (null: any),
// waited for up to `milliseconds`.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, int milliseconds);

// A window's client rectangle in screen coordinates.
RECT ClientOnScreen(HWND window);

}  // namespace kestrum::test
