#include "printing/printer_picker_layout.h"

#include <algorithm>

namespace kestrum {
namespace {

constexpr int kBadgeWidth = 60;
constexpr int kBadgeHeight = 20;
constexpr int kBadgeInset = 10;     // from the card's right edge
constexpr int kTextLeftInset = 12;  // from the card's left edge
constexpr int kTextRightInsetDefault = 75;
constexpr int kTextRightInset = 10;

// Dialog units to pixels, rounded to the nearest pixel.
int UnitsX(int units) {
    return (units * 3 + 1) / 2;
}
int UnitsY(int units) {
    return (units * 13 + 4) / 8;
}
PickerRect Units(int x, int y, int width, int height) {
    const int left = UnitsX(x);
    const int top = UnitsY(y);
    return PickerRect{left, top, UnitsX(x + width) - left, UnitsY(y + height) - top};
}

// `rect` with its edges moved inwards, never turned inside out.
PickerRect Shrink(PickerRect rect, int left, int top, int right, int bottom) {
    return PickerRect{rect.x + left, rect.y + top, std::max(0, rect.width - left - right),
                      std::max(0, rect.height - top - bottom)};
}

}  // namespace

PickerLayout PrinterPickerLayout() {
    PickerLayout layout;
    layout.width = UnitsX(280);
    layout.height = UnitsY(210);
    layout.heading = Units(12, 10, 256, 16);
    layout.list = Units(12, 30, 256, 135);
    layout.notice = Units(12, 60, 256, 40);
    layout.printButton = Units(124, 174, 70, 24);
    layout.cancelButton = Units(198, 174, 70, 24);
    return layout;
}

PrinterRowLayout LayoutPrinterRow(PickerRect row, bool isDefault) {
    PrinterRowLayout layout;
    layout.card = Shrink(row, 4, 3, 4, 3);
    layout.text = Shrink(layout.card, kTextLeftInset, 0,
                         isDefault ? kTextRightInsetDefault : kTextRightInset, 0);
    if (isDefault) {
        layout.badge = PickerRect{layout.card.Right() - kBadgeInset - kBadgeWidth,
                                  layout.card.y + (layout.card.height - kBadgeHeight) / 2,
                                  kBadgeWidth, kBadgeHeight};
    }
    return layout;
}

PrinterRowStyle StylePrinterRow(bool selected) {
    if (selected) {
        return PrinterRowStyle{0x2563EB, 0x3B82F6, 0xFFFFFF, true, 0xFFFFFF, 0x2563EB};
    }
    return PrinterRowStyle{0x22252D, 0x2E323E, 0xE1E6F0, false, 0x3B82F6, 0xFFFFFF};
}

PickerButtonStyle StylePickerButton(PickerButton button, bool pressed) {
    if (button == PickerButton::kPrint) {
        return pressed ? PickerButtonStyle{0x1D4ED8, 0x1D4ED8, 0xFFFFFF}
                       : PickerButtonStyle{0x2563EB, 0x3B82F6, 0xFFFFFF};
    }
    return pressed ? PickerButtonStyle{0x23252D, 0x2D303A, 0xD2D7E1}
                   : PickerButtonStyle{0x2D303A, 0x3C404C, 0xD2D7E1};
}

}  // namespace kestrum
