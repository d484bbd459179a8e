// Drives the printer picker under Wine and a virtual display, for picker_win32_test.sh.
//   pick                  a print request over an owner window, as a page's would: the picker,
//                         then a stand-in engine; prints what the engine was asked and the
//                         page's result message. PROBE_PRINTERS ("Name*,Other", * marks the
//                         default) replaces the spooler's list.
//   inspect PNG EXPECTED  the open picker's template, list and pixels (EXPECTED as above, in
//                         display order); saves the screen; prints the screen centres of the
//                         rows and buttons ("row I X Y", "print X Y", "cancel X Y",
//                         "close X Y" for the caption's close box)
//   inspect-empty PNG     the open picker's layout without printers
//   inspect-pressed       the Print button's colours while it is held down
//   select N              selects row N of the open picker (-1: none), as the list would
//   exists                prints 1 while the picker is open, else 0
//   wait                  waits up to 15 s for the picker; prints 1 when it is open, else 0

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text_encoding.h"
#include "printing/print_flow.h"
#include "printing/printer_list.h"
#include "printing/printer_picker_layout.h"
#include "printing/win32/print_request_win32.h"
#include "printing/win32/printer_picker_win32.h"
#include "tests/win32/support/screen_win32.h"

namespace {

using namespace kestrum;
using test::Checks;
using test::ScreenImage;

constexpr wchar_t kOwnerTitle[] = L"Kestrum print owner";

std::vector<PrinterEntry> ParseList(const std::string& text) {
    std::vector<PrinterEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        std::string name = text.substr(start, comma - start);
        const bool isDefault = !name.empty() && name.back() == '*';
        if (isDefault) {
            name.pop_back();
        }
        entries.push_back(PrinterEntry{Utf8ToUtf16(name), isDefault});
        start = comma + 1;
    }
    return entries;
}

// A browser engine that prints at once and successfully.
class StandInEngine : public PrintEngine {
  public:
    std::optional<PrintOutcome> StartPrint(const std::u16string& printerName,
                                           Completed completed) override {
        std::printf("ENGINE PRINTS ON %s\n", Utf16ToUtf8(printerName).c_str());
        std::fflush(stdout);
        completed(PrintCompletion{});
        return std::nullopt;
    }
};

int Pick() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KestrumPrintOwner";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassW(&windowClass);
    HWND owner =
        CreateWindowExW(0, windowClass.lpszClassName, kOwnerTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        0, 0, 900, 700, nullptr, nullptr, windowClass.hInstance, nullptr);
    StandInEngine engine;
    auto post = [](const std::string& json) {
        std::printf("POSTED %s\n", json.c_str());
        std::fflush(stdout);
    };
    if (const char* list = std::getenv("PROBE_PRINTERS")) {
        const std::vector<PrinterEntry> printers = ParseList(list);
        RunPrintRequest([&] { return ShowPrinterPicker(owner, printers); }, engine, post);
    } else {
        RunPrintRequestWithPicker(owner, engine, post);
    }
    std::printf("OWNER ENABLED %d\n", IsWindowEnabled(owner) ? 1 : 0);
    DestroyWindow(owner);
    return 0;
}

HWND FindPicker(int milliseconds) {
    return test::WaitForWindow(L"#32770", L"Select Printer", milliseconds);
}

RECT ScreenRectOf(HWND control) {
    RECT box{};
    GetWindowRect(control, &box);
    return box;
}

std::string Describe(const RECT& box) {
    return std::to_string(box.left) + "," + std::to_string(box.top) + " " +
           std::to_string(box.right - box.left) + "x" + std::to_string(box.bottom - box.top);
}

struct TemplateControl {
    int id;
    const wchar_t* className;
    DWORD style;  // as the template gives it, visibility aside
    RECT units;
    const wchar_t* text;  // null: not checked
};

// Dialog units to pixels for a dialog in 10-point "Segoe UI", worked out from the face as the
// system does (MapDialogRect only answers inside the dialog's own process): a quarter of the
// average letter width across, an eighth of the line height down.
RECT UnitsToPixels(const RECT& units) {
    HDC screen = GetDC(nullptr);
    HFONT font =
        CreateFontW(-MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE,
                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI");
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SIZE letters{};
    GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                          &letters);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    const int across = (letters.cx / 26 + 1) / 2;
    const int down = metrics.tmHeight;
    return RECT{MulDiv(units.left, across, 4), MulDiv(units.top, down, 8),
                MulDiv(units.right, across, 4), MulDiv(units.bottom, down, 8)};
}

// The template's controls: class, style and place as the dialog created them.
void CheckControls(Checks& checks, HWND dialog) {
    static const TemplateControl kControls[] = {
        {1004,
         L"Static",
         WS_CHILD | SS_LEFT,
         {12, 10, 12 + 256, 10 + 16},
         L"Choose the printer for this page:"},
        {1001, L"ListBox", 0x50210051 & ~WS_VISIBLE, {12, 30, 12 + 256, 30 + 135}, nullptr},
        {1005,
         L"Static",
         WS_CHILD | SS_CENTER,
         {12, 60, 12 + 256, 60 + 40},
         L"No printer was found.\nInstall or connect a printer, then try again."},
        {1002, L"Button", 0x5001000B & ~WS_VISIBLE, {124, 174, 124 + 70, 174 + 24}, L"Print"},
        {1003, L"Button", 0x5001000B & ~WS_VISIBLE, {198, 174, 198 + 70, 174 + 24}, L"Cancel"},
    };
    for (const TemplateControl& wanted : kControls) {
        const std::string name = "control " + std::to_string(wanted.id);
        HWND control = GetDlgItem(dialog, wanted.id);
        checks.Expect(control != nullptr, name + " exists");
        if (control == nullptr) {
            continue;
        }
        wchar_t className[64] = {};
        GetClassNameW(control, className, 64);
        checks.Expect(
            _wcsicmp(className, wanted.className) == 0,
            name + " is a " + Utf16ToUtf8(reinterpret_cast<const char16_t*>(wanted.className)));
        const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & ~WS_VISIBLE;
        // The list box drops its scroll bar's style while every row fits.
        const DWORD mask = wanted.id == 1001 ? ~static_cast<DWORD>(WS_VSCROLL) : 0xFFFFFFFFu;
        checks.Expect((style & mask) == (wanted.style & mask),
                      name + " style " + test::Hex(style) + " wanted " + test::Hex(wanted.style));
        const RECT expected = UnitsToPixels(wanted.units);
        RECT placed = ScreenRectOf(control);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
        // A list box without LBS_NOINTEGRALHEIGHT trims its height to whole rows.
        const bool sameHeight = wanted.id == 1001 ? placed.bottom <= expected.bottom &&
                                                        placed.bottom > expected.bottom - 44
                                                  : placed.bottom == expected.bottom;
        checks.Expect(placed.left == expected.left && placed.top == expected.top &&
                          placed.right == expected.right && sameHeight,
                      name + " at " + Describe(placed) + " of the dialog, template says " +
                          Describe(expected));
        if (wanted.text != nullptr) {
            wchar_t text[256] = {};
            GetWindowTextW(control, text, 256);
            checks.Expect(
                std::wcscmp(text, wanted.text) == 0,
                name + " reads \"" + Utf16ToUtf8(reinterpret_cast<const char16_t*>(text)) + "\"");
        }
    }
}

void CheckFrame(Checks& checks, HWND dialog) {
    RECT frame = ScreenRectOf(dialog);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    checks.Expect(frame.left == x && frame.top == y, "centred on the screen: " + Describe(frame));
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    checks.Expect((style & wanted) == wanted, "a pop-up with caption and system menu");
    HWND owner = GetWindow(dialog, GW_OWNER);
    wchar_t title[64] = {};
    GetWindowTextW(owner, title, 64);
    checks.Expect(owner != nullptr && std::wcscmp(title, kOwnerTitle) == 0,
                  "owned by the browser's window");
    checks.Expect(owner != nullptr && !IsWindowEnabled(owner), "the owner is disabled meanwhile");
}

PickerRect ToPickerRect(const RECT& box) {
    return PickerRect{box.left, box.top, box.right - box.left, box.bottom - box.top};
}

// How wide `name` is in the row's face.
int NameWidth(const std::u16string& name, bool strong) {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(-13, 0, 0, 0, strong ? FW_SEMIBOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI");
    HGDIOBJ previous = SelectObject(screen, font);
    SIZE size{};
    GetTextExtentPoint32W(screen, reinterpret_cast<const wchar_t*>(name.c_str()),
                          static_cast<int>(name.size()), &size);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return size.cx;
}

// The columns of `area` that hold anything but `background`: first and last, or -1.
std::pair<int, int> InkColumns(const ScreenImage& image, const RECT& area,
                               std::uint32_t background) {
    int first = -1;
    int last = -1;
    for (int x = area.left; x < area.right; ++x) {
        for (int y = area.top; y < area.bottom; ++y) {
            if (image.At(x, y) != background) {
                if (first < 0) {
                    first = x;
                }
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

void CheckRow(Checks& checks, const ScreenImage& shot, HWND list, int index, bool selected,
              bool isDefault, const std::string& name) {
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
    const PrinterRowLayout row = LayoutPrinterRow(ToPickerRect(item), isDefault);
    const PrinterRowStyle style = StylePrinterRow(selected);
    const std::string what = "row " + std::to_string(index) + " (" + name +
                             (selected ? ", selected" : "") + (isDefault ? ", default" : "") + ")";
    const int middle = row.card.y + row.card.height / 2;
    checks.Expect(item.bottom - item.top == 44, what + " is 44 px high");
    checks.ExpectColour(shot, item.left + 1, item.top + 1, kPickerListColour,
                        what + " list colour around the card");
    checks.ExpectColour(shot, row.card.x, middle, style.cardOutline, what + " card outline, left");
    checks.ExpectColour(shot, row.card.Right() - 1, middle, style.cardOutline,
                        what + " card outline, right");
    checks.ExpectColour(shot, row.card.x + row.card.width / 2, row.card.y, style.cardOutline,
                        what + " card outline, top");
    checks.ExpectColour(shot, row.card.x + 3, middle, style.cardFill, what + " card fill");
    const RECT text{row.text.x, row.text.y, row.text.Right(), row.text.Bottom()};
    checks.ExpectAtLeast(shot, text, style.text, 5, what + " name");
    // The whole name as the spooler gave it ("&" included), or cut at the box's end.
    const std::u16string fullName = Utf8ToUtf16(name);
    const int width = NameWidth(fullName, style.strongText);
    const auto [first, last] = InkColumns(
        shot, RECT{text.left, text.top + 2, text.right, text.bottom - 2}, style.cardFill);
    const int ink = first < 0 ? 0 : last - first + 1;
    if (width <= row.text.width) {
        checks.Expect(
            first >= text.left && first <= text.left + 2 && ink >= width - 4 && ink <= width + 2,
            what + " name drawn whole from the box's left: " + std::to_string(ink) +
                " px of ink, the name is " + std::to_string(width) + " px");
    } else {
        checks.Expect(ink >= row.text.width - 8 && last < text.right,
                      what + " name too long is cut at the box's end: " + std::to_string(ink) +
                          " px of ink in a box of " + std::to_string(row.text.width));
    }
    if (row.badge) {
        const PickerRect& badge = *row.badge;
        checks.ExpectColour(shot, badge.x + 3, badge.y + badge.height / 2, style.badgeFill,
                            what + " badge fill");
        checks.ExpectColour(shot, badge.x - 1, badge.y + badge.height / 2, style.cardFill,
                            what + " card fill left of the badge");
        checks.ExpectAtLeast(shot, RECT{badge.x, badge.y, badge.Right(), badge.Bottom()},
                             style.badgeText, 5, what + " \"DEFAULT\" on the badge");
        // Between the name's box and the badge: only the card, however long the name.
        const RECT gap{text.right, row.card.y + 2, badge.x, row.card.Bottom() - 2};
        checks.Expect(test::CountColour(shot, gap, style.cardFill) ==
                          (gap.right - gap.left) * (gap.bottom - gap.top),
                      what + " name stays clear of the badge");
    } else {
        // Where a badge would be: the card.
        checks.ExpectColour(shot, row.card.Right() - 10 - 57, middle, style.cardFill,
                            what + " has no badge");
    }
}

void CheckButton(Checks& checks, const ScreenImage& shot, HWND button, PickerButton which,
                 bool pressed, const std::string& name) {
    const RECT box = ScreenRectOf(button);
    const PickerButtonStyle style = StylePickerButton(which, pressed);
    const int middle = (box.top + box.bottom) / 2;
    checks.ExpectColour(shot, box.left, middle, style.outline, name + " outline");
    checks.ExpectColour(shot, box.left + 3, middle, style.fill, name + " fill");
    checks.ExpectColour(shot, (box.left + box.right) / 2, box.top + 2, style.fill,
                        name + " fill, top");
    checks.ExpectAtLeast(shot, box, style.text, 5, name + " caption");
}

void PrintCentre(const char* name, const RECT& box) {
    std::printf("%s %ld %ld\n", name, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

std::wstring WidePath(const char* path) {
    const std::u16string wide = Utf8ToUtf16(path);
    return std::wstring(wide.begin(), wide.end());
}

int Inspect(const char* png, const char* expected) {
    Checks checks;
    HWND dialog = FindPicker(15000);
    checks.Expect(dialog != nullptr, "the \"Select Printer\" dialog is open");
    if (dialog == nullptr) {
        return 1;
    }
    Sleep(300);
    CheckFrame(checks, dialog);
    CheckControls(checks, dialog);

    HWND list = GetDlgItem(dialog, 1001);
    const std::vector<PrinterEntry> printers = ParseList(expected);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    checks.Expect(count == static_cast<LRESULT>(printers.size()),
                  std::to_string(count) + " rows, wanted " + std::to_string(printers.size()));
    for (LRESULT i = 0; i < count && i < static_cast<LRESULT>(printers.size()); ++i) {
        wchar_t name[512] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        const std::string seen = Utf16ToUtf8(reinterpret_cast<const char16_t*>(name));
        checks.Expect(seen == Utf16ToUtf8(printers[i].name),
                      "row " + std::to_string(i) + " is \"" + seen + "\"");
    }
    checks.Expect(IsWindowVisible(list) && IsWindowVisible(GetDlgItem(dialog, 1002)) &&
                      !IsWindowVisible(GetDlgItem(dialog, 1005)),
                  "list and Print button shown, the notice hidden");
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    std::printf("selected %ld\n", static_cast<long>(selected));

    const ScreenImage shot = test::CaptureWholeScreen();
    checks.Expect(test::SavePng(shot, WidePath(png)), std::string("screenshot saved to ") + png);
    const RECT client = test::ClientOnScreen(dialog);
    checks.ExpectColour(shot, client.left + 3, client.bottom - 3, kPickerDialogColour,
                        "dialog background");
    const RECT heading = ScreenRectOf(GetDlgItem(dialog, 1004));
    checks.ExpectAtLeast(shot, heading, kPickerLabelColour, 20, "heading in #F0F2F5");
    checks.ExpectColour(shot, heading.right - 2, heading.top + 1, kPickerDialogColour,
                        "heading on the dialog's colour");
    for (LRESULT i = 0; i < count && i < static_cast<LRESULT>(printers.size()); ++i) {
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        RECT listClient{};
        GetClientRect(list, &listClient);
        if (item.bottom > listClient.bottom) {
            break;  // scrolled out of sight
        }
        CheckRow(checks, shot, list, static_cast<int>(i), i == selected, printers[i].isDefault,
                 Utf16ToUtf8(printers[i].name));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
        PrintCentre(("row " + std::to_string(i)).c_str(), item);
    }
    CheckButton(checks, shot, GetDlgItem(dialog, 1002), PickerButton::kPrint, false, "Print");
    CheckButton(checks, shot, GetDlgItem(dialog, 1003), PickerButton::kCancel, false, "Cancel");
    PrintCentre("print", ScreenRectOf(GetDlgItem(dialog, 1002)));
    PrintCentre("cancel", ScreenRectOf(GetDlgItem(dialog, 1003)));
    TITLEBARINFO title{};
    title.cbSize = sizeof(title);
    if (GetTitleBarInfo(dialog, &title)) {
        // The close box is the title bar's right-most square.
        const RECT bar = title.rcTitleBar;
        const int side = bar.bottom - bar.top;
        PrintCentre("close", RECT{bar.right - side, bar.top, bar.right, bar.bottom});
    }
    return checks.failures();
}

int InspectEmpty(const char* png) {
    Checks checks;
    HWND dialog = FindPicker(15000);
    checks.Expect(dialog != nullptr, "the \"Select Printer\" dialog is open");
    if (dialog == nullptr) {
        return 1;
    }
    Sleep(300);
    CheckFrame(checks, dialog);
    CheckControls(checks, dialog);
    HWND notice = GetDlgItem(dialog, 1005);
    checks.Expect(!IsWindowVisible(GetDlgItem(dialog, 1001)), "no list");
    checks.Expect(!IsWindowVisible(GetDlgItem(dialog, 1002)), "no Print button");
    checks.Expect(IsWindowVisible(notice), "the notice is shown");
    checks.Expect(IsWindowVisible(GetDlgItem(dialog, 1003)), "the Cancel button is shown");

    const ScreenImage shot = test::CaptureWholeScreen();
    checks.Expect(test::SavePng(shot, WidePath(png)), std::string("screenshot saved to ") + png);
    const RECT noticeBox = ScreenRectOf(notice);
    checks.ExpectAtLeast(shot, noticeBox, kPickerLabelColour, 20, "notice in #F0F2F5");
    checks.ExpectColour(shot, noticeBox.left + 1, noticeBox.bottom - 2, kPickerDialogColour,
                        "notice on the dialog's colour");
    const RECT print = ScreenRectOf(GetDlgItem(dialog, 1002));
    checks.Expect(test::CountColour(shot, print, kPickerDialogColour) ==
                      (print.right - print.left) * (print.bottom - print.top),
                  "only the dialog's colour where Print would be");
    const RECT listBox = ScreenRectOf(GetDlgItem(dialog, 1001));
    checks.Expect(
        test::CountColour(shot, RECT{listBox.left, listBox.top, listBox.right, noticeBox.top},
                          kPickerDialogColour) ==
            (listBox.right - listBox.left) * (noticeBox.top - listBox.top),
        "only the dialog's colour where the list would be");
    CheckButton(checks, shot, GetDlgItem(dialog, 1003), PickerButton::kCancel, false, "Cancel");
    PrintCentre("cancel", ScreenRectOf(GetDlgItem(dialog, 1003)));
    return checks.failures();
}

int InspectPressed() {
    Checks checks;
    HWND dialog = FindPicker(5000);
    if (dialog == nullptr) {
        return 1;
    }
    Sleep(300);
    const ScreenImage shot = test::CaptureWholeScreen();
    CheckButton(checks, shot, GetDlgItem(dialog, 1002), PickerButton::kPrint, true,
                "Print held down");
    return checks.failures();
}

int Select(int index) {
    HWND dialog = FindPicker(5000);
    if (dialog == nullptr) {
        return 1;
    }
    SendDlgItemMessageW(dialog, 1001, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "pick") {
        result = Pick();
    } else if (command == "inspect" && argc == 4) {
        result = Inspect(argv[2], argv[3]);
    } else if (command == "inspect-empty" && argc == 3) {
        result = InspectEmpty(argv[2]);
    } else if (command == "inspect-pressed") {
        result = InspectPressed();
    } else if (command == "select" && argc == 3) {
        result = Select(std::atoi(argv[2]));
    } else if (command == "wait") {
        std::printf("%d\n", FindPicker(15000) != nullptr ? 1 : 0);
        result = 0;
    } else if (command == "exists") {
        std::printf("%d\n", FindPicker(0) != nullptr ? 1 : 0);
        result = 0;
    } else {
        std::fputs("usage: see the comment at the top of picker_probe_win32.cpp\n", stderr);
    }
    std::fflush(nullptr);
    return result;
}
