#include "fatal/win32/countdown_paint_win32.h"

#include <string>

namespace kestrum {
namespace {

constexpr int kIconResource = 101;
constexpr int kIconSize = 64;

COLORREF Colour(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

RECT ToRect(const LayoutRect& box) {
    return RECT{box.left, box.top, box.right, box.bottom};
}

HFONT MakeFont(const CountdownText& text) {
    const bool monospace = text.font == CountdownFont::kMonospace;
    return CreateFontW(-text.pixelHeight, 0, 0, 0, text.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       CLEARTYPE_QUALITY,
                       monospace ? (FIXED_PITCH | FF_MODERN) : (DEFAULT_PITCH | FF_SWISS),
                       monospace ? L"Consolas" : L"Segoe UI");
}

UINT Format(const CountdownText& text) {
    UINT format = DT_CENTER;
    if (text.flow == CountdownFlow::kWrapped) {
        format |= DT_WORDBREAK;
    } else {
        format |= DT_SINGLELINE;
    }
    if (text.centredVertically) {
        format |= DT_VCENTER;
    }
    if (text.rightToLeft) {
        format |= DT_RTLREADING;
    }
    if (text.ellipsisAtEnd) {
        format |= DT_END_ELLIPSIS;
    }
    return format;
}

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Draws (or with DT_CALCRECT measures) one text in its own font; returns DrawTextW's height.
int DrawOneText(HDC dc, const CountdownText& text, RECT* box, UINT extraFormat) {
    HFONT font = MakeFont(text);
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, Colour(text.colour));
    const int height = DrawTextW(dc, Wide(text.text), static_cast<int>(text.text.size()), box,
                                 Format(text) | extraFormat);
    SelectObject(dc, previous);
    DeleteObject(font);
    return height;
}

int MeasuredHeight(HDC dc, const CountdownText& text) {
    RECT box = ToRect(text.box);
    DrawOneText(dc, text, &box, DT_CALCRECT);
    return box.bottom - box.top;
}

void DrawIcon(HDC dc, const LayoutRect& place) {
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource),
                                      IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR));
    if (icon == nullptr) {
        return;
    }
    DrawIconEx(dc, place.left, place.top, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
}

void DrawRule(HDC dc, const CountdownScene& scene) {
    HPEN pen = CreatePen(PS_SOLID, 1, Colour(scene.ruleColour));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, scene.ruleLeft, scene.ruleY, nullptr);
    LineTo(dc, scene.ruleRight, scene.ruleY);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void DrawCircle(HDC dc, const CountdownScene& scene) {
    HPEN pen = CreatePen(PS_SOLID, scene.circlePenWidth, Colour(scene.circleLine));
    HBRUSH fill = CreateSolidBrush(Colour(scene.circleFill));
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HGDIOBJ previousBrush = SelectObject(dc, fill);
    Ellipse(dc, scene.circle.left, scene.circle.top, scene.circle.right, scene.circle.bottom);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(fill);
    DeleteObject(pen);
}

void DrawCodeBox(HDC dc, const CountdownScene& scene) {
    const RECT box = ToRect(scene.codeBox);
    HBRUSH fill = CreateSolidBrush(Colour(scene.codeBoxFill));
    FillRect(dc, &box, fill);
    DeleteObject(fill);
    HBRUSH frame = CreateSolidBrush(Colour(scene.codeBoxFrame));
    FrameRect(dc, &box, frame);
    DeleteObject(frame);
}

}  // namespace

void PaintCountdown(HDC dc, int width, int height, const CountdownContent& content) {
    // The wrapped texts' fonts and widths do not depend on their heights: lay out once to
    // measure them, then for real.
    const CountdownScene probe = LayoutCountdown(content, width, 0, 0);
    const int englishHeight = MeasuredHeight(dc, probe.texts[kCountdownEnglishTextIndex]);
    const int arabicHeight = MeasuredHeight(dc, probe.texts[kCountdownArabicTextIndex]);
    const CountdownScene scene = LayoutCountdown(content, width, englishHeight, arabicHeight);

    const RECT client{0, 0, width, height};
    HBRUSH background = CreateSolidBrush(Colour(scene.background));
    FillRect(dc, &client, background);
    DeleteObject(background);

    DrawIcon(dc, scene.icon);
    DrawRule(dc, scene);
    DrawCircle(dc, scene);
    DrawCodeBox(dc, scene);

    const int previousMode = SetBkMode(dc, TRANSPARENT);
    for (const CountdownText& text : scene.texts) {
        RECT box = ToRect(text.box);
        DrawOneText(dc, text, &box, 0);
    }
    SetBkMode(dc, previousMode);
}

}  // namespace kestrum
