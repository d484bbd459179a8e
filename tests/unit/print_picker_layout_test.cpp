#include <gtest/gtest.h>

#include "printing/printer_picker_layout.h"

namespace kestrum {
namespace {

TEST(LayoutPrinterRow, PlacesCardNameAndBadge) {
    const PickerRect row{0, 88, 384, kPrinterRowHeight};

    const PrinterRowLayout plain = LayoutPrinterRow(row, false);
    EXPECT_EQ(plain.card, (PickerRect{4, 91, 376, 38}));
    EXPECT_EQ(plain.text, (PickerRect{16, 91, 354, 38}));
    EXPECT_FALSE(plain.badge);

    const PrinterRowLayout marked = LayoutPrinterRow(row, true);
    EXPECT_EQ(marked.card, plain.card);
    EXPECT_EQ(marked.text, (PickerRect{16, 91, 289, 38}));
    ASSERT_TRUE(marked.badge);
    // 60 x 20, 10 pixels inside the card's right edge, centred in the card.
    EXPECT_EQ(*marked.badge, (PickerRect{310, 100, 60, 20}));
}

TEST(LayoutPrinterRow, TheNameNeverReachesTheBadge) {
    for (int width = 60; width <= 800; width += 7) {
        const PrinterRowLayout layout = LayoutPrinterRow(PickerRect{0, 0, width, 44}, true);
        ASSERT_TRUE(layout.badge);
        // In a row too narrow for both, the name gets no room at all.
        EXPECT_TRUE(layout.text.width == 0 || layout.text.Right() <= layout.badge->x) << width;
    }
}

TEST(LayoutPrinterRow, ATinyRowGivesEmptyBoxesNotNegativeOnes) {
    for (const bool isDefault : {false, true}) {
        const PrinterRowLayout layout = LayoutPrinterRow(PickerRect{0, 0, 6, 4}, isDefault);
        EXPECT_EQ(layout.card.width, 0);
        EXPECT_EQ(layout.card.height, 0);
        EXPECT_EQ(layout.text.width, 0);
        EXPECT_EQ(layout.text.height, 0);
    }
}

TEST(PrinterPickerLayout, KeepsEveryPartInsideTheDialogAndApart) {
    const PickerLayout layout = PrinterPickerLayout();
    EXPECT_EQ(layout.width, 420);
    EXPECT_EQ(layout.height, 341);
    for (const PickerRect& part :
         {layout.heading, layout.list, layout.notice, layout.printButton, layout.cancelButton}) {
        EXPECT_GT(part.width, 0);
        EXPECT_GT(part.height, 0);
        EXPECT_GE(part.x, 0);
        EXPECT_GE(part.y, 0);
        EXPECT_LE(part.Right(), layout.width);
        EXPECT_LE(part.Bottom(), layout.height);
    }
    EXPECT_LE(layout.heading.Bottom(), layout.list.y);
    EXPECT_LE(layout.list.Bottom(), layout.printButton.y);
    EXPECT_LE(layout.printButton.Right(), layout.cancelButton.x);
    EXPECT_EQ(layout.printButton.y, layout.cancelButton.y);
    EXPECT_EQ(layout.cancelButton.Right(), layout.list.Right());
    // The notice takes the list's place when there is no printer.
    EXPECT_GE(layout.notice.y, layout.list.y);
    EXPECT_LE(layout.notice.Bottom(), layout.list.Bottom());
    // A list of the usual few printers needs no scrolling.
    EXPECT_GE(layout.list.height, 4 * kPrinterRowHeight);
}

TEST(PickerStyles, SelectedRowsAndPressedButtonsHaveTheirOwnColours) {
    const PrinterRowStyle selected = StylePrinterRow(true);
    const PrinterRowStyle plain = StylePrinterRow(false);
    EXPECT_EQ(selected.cardFill, 0x2563EBu);
    EXPECT_EQ(selected.cardOutline, 0x3B82F6u);
    EXPECT_EQ(selected.text, 0xFFFFFFu);
    EXPECT_TRUE(selected.strongText);
    EXPECT_EQ(selected.badgeFill, 0xFFFFFFu);
    EXPECT_EQ(selected.badgeText, 0x2563EBu);
    EXPECT_EQ(plain.cardFill, 0x22252Du);
    EXPECT_EQ(plain.cardOutline, 0x2E323Eu);
    EXPECT_EQ(plain.text, 0xE1E6F0u);
    EXPECT_FALSE(plain.strongText);
    EXPECT_EQ(plain.badgeFill, 0x3B82F6u);
    EXPECT_EQ(plain.badgeText, 0xFFFFFFu);

    struct Case {
        PickerButton button;
        bool pressed;
        std::uint32_t fill, outline, text;
    };
    const Case cases[] = {
        {PickerButton::kPrint, false, 0x2563EB, 0x3B82F6, 0xFFFFFF},
        {PickerButton::kPrint, true, 0x1D4ED8, 0x1D4ED8, 0xFFFFFF},
        {PickerButton::kCancel, false, 0x2D303A, 0x3C404C, 0xD2D7E1},
        {PickerButton::kCancel, true, 0x23252D, 0x2D303A, 0xD2D7E1},
    };
    for (const Case& c : cases) {
        const PickerButtonStyle style = StylePickerButton(c.button, c.pressed);
        EXPECT_EQ(style.fill, c.fill) << static_cast<int>(c.button) << c.pressed;
        EXPECT_EQ(style.outline, c.outline) << static_cast<int>(c.button) << c.pressed;
        EXPECT_EQ(style.text, c.text) << static_cast<int>(c.button) << c.pressed;
    }
}

}  // namespace
}  // namespace kestrum
