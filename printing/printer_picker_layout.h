#pragma once

#include <cstdint>
#include <optional>

namespace kestrum {

// The printer picker's geometry and colours, shared by the platform backends: pixels in the
// dialog's client area, colours as 0xRRGGBB.

struct PickerRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    friend bool operator==(const PickerRect&, const PickerRect&) = default;
};

// Where the picker's parts sit. Laid out on a grid of dialog units like a Windows dialog
// (280 x 210 units) at the usual 1.5 x 1.625 pixels per unit of a 10-point face.
struct PickerLayout {
    int width = 0;
    int height = 0;
    PickerRect heading;
    PickerRect list;
    PickerRect notice;  // shown instead of the list when there is no printer
    PickerRect printButton;
    PickerRect cancelButton;
};
PickerLayout PrinterPickerLayout();

inline constexpr int kPrinterRowHeight = 44;

// One row of the list: a rounded card inside the row, the name, and the badge of the
// default printer. The name's box ends well before the badge so that a long name is cut
// (with an ellipsis) instead of running under it. Boxes never have negative sizes.
struct PrinterRowLayout {
    PickerRect card;
    PickerRect text;
    std::optional<PickerRect> badge;
};
PrinterRowLayout LayoutPrinterRow(PickerRect row, bool isDefault);

inline constexpr int kCardCornerDiameter = 8;
inline constexpr int kBadgeCornerDiameter = 10;

inline constexpr std::uint32_t kPickerDialogColour = 0x141519;
inline constexpr std::uint32_t kPickerListColour = 0x1C1E24;
inline constexpr std::uint32_t kPickerLabelColour = 0xF0F2F5;

struct PrinterRowStyle {
    std::uint32_t cardFill;
    std::uint32_t cardOutline;
    std::uint32_t text;
    bool strongText;  // the semi-bold face
    std::uint32_t badgeFill;
    std::uint32_t badgeText;
};
PrinterRowStyle StylePrinterRow(bool selected);

enum class PickerButton { kPrint, kCancel };
struct PickerButtonStyle {
    std::uint32_t fill;
    std::uint32_t outline;
    std::uint32_t text;
};
PickerButtonStyle StylePickerButton(PickerButton button, bool pressed);

}  // namespace kestrum
