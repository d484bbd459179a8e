#include "printing/win32/printer_picker_win32.h"

#include <windows.h>

#include <string>
#include <utility>

#include "printing/printer_picker_layout.h"
#include "printing/win32/printer_picker_template_win32.h"

namespace kestrum {
namespace {

constexpr int kRowHeight = kPrinterRowHeight;
constexpr int kCaptionCapacity = 64;
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

// The dark frame the desktop window manager draws for the picker, where it can.
constexpr DWORD kImmersiveDarkMode = 20;
constexpr DWORD kImmersiveDarkModeBefore20H1 = 19;
constexpr DWORD kWindowCornerPreference = 33;
constexpr DWORD kRoundCorners = 2;

struct PickerState {
    std::vector<PrinterEntry> printers;
    std::u16string selectedName;
    HFONT headingFont = nullptr;
    HFONT itemFont = nullptr;
    HFONT itemFontSelected = nullptr;  // also the buttons' face
    HFONT badgeFont = nullptr;
    HBRUSH dialogBrush = nullptr;
    HBRUSH listBrush = nullptr;
};

COLORREF Colour(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

RECT ToRect(const PickerRect& box) {
    return RECT{box.x, box.y, box.Right(), box.Bottom()};
}

PickerRect ToPickerRect(const RECT& box) {
    return PickerRect{box.left, box.top, box.right - box.left, box.bottom - box.top};
}

HFONT MakeFont(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI");
}

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

PickerState* StateOf(HWND dialog) {
    return reinterpret_cast<PickerState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

// Loaded on first use: systems (and Wine versions) without the window manager's library
// simply keep their usual frame.
void AskForDarkFrame(HWND dialog) {
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    static const SetAttribute setAttribute = []() -> SetAttribute {
        HMODULE library = LoadLibraryW(L"dwmapi.dll");
        if (library == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<SetAttribute>(
            reinterpret_cast<void*>(GetProcAddress(library, "DwmSetWindowAttribute")));
    }();
    if (setAttribute == nullptr) {
        return;
    }
    const BOOL dark = TRUE;
    if (FAILED(setAttribute(dialog, kImmersiveDarkMode, &dark, sizeof(dark)))) {
        setAttribute(dialog, kImmersiveDarkModeBefore20H1, &dark, sizeof(dark));
    }
    const DWORD corners = kRoundCorners;
    setAttribute(dialog, kWindowCornerPreference, &corners, sizeof(corners));
}

void CentreOnScreen(HWND dialog) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE);
}

void Initialise(HWND dialog, PickerState& state) {
    CentreOnScreen(dialog);
    AskForDarkFrame(dialog);
    state.headingFont = MakeFont(-15, FW_BOLD);
    state.itemFont = MakeFont(-13, FW_NORMAL);
    state.itemFontSelected = MakeFont(-13, FW_SEMIBOLD);
    state.badgeFont = MakeFont(-10, FW_BOLD);
    state.dialogBrush = CreateSolidBrush(Colour(kPickerDialogColour));
    state.listBrush = CreateSolidBrush(Colour(kPickerListColour));
    SendDlgItemMessageW(dialog, kPickerHeadingId, WM_SETFONT,
                        reinterpret_cast<WPARAM>(state.headingFont), TRUE);
    SendDlgItemMessageW(dialog, kNoPrinterNoticeId, WM_SETFONT,
                        reinterpret_cast<WPARAM>(state.itemFont), TRUE);

    HWND list = GetDlgItem(dialog, kPrinterListId);
    if (state.printers.empty()) {
        ShowWindow(list, SW_HIDE);
        ShowWindow(GetDlgItem(dialog, kPrintButtonId), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, kNoPrinterNoticeId), SW_SHOW);
        return;
    }
    ShowWindow(GetDlgItem(dialog, kNoPrinterNoticeId), SW_HIDE);
    for (const PrinterEntry& printer : state.printers) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(printer.name)));
    }
    // The default printer when there is one: it is listed first.
    SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void DeleteResources(PickerState& state) {
    for (HFONT* font :
         {&state.headingFont, &state.itemFont, &state.itemFontSelected, &state.badgeFont}) {
        if (*font != nullptr) {
            DeleteObject(*font);
            *font = nullptr;
        }
    }
    for (HBRUSH* brush : {&state.dialogBrush, &state.listBrush}) {
        if (*brush != nullptr) {
            DeleteObject(*brush);
            *brush = nullptr;
        }
    }
}

// A rounded box with a one-pixel outline (none when `outline` is null).
void RoundBox(HDC dc, const RECT& box, int corner, COLORREF fill, const COLORREF* outline) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = outline != nullptr ? CreatePen(PS_SOLID, 1, *outline) : CreatePen(PS_NULL, 0, 0);
    HGDIOBJ previousBrush = SelectObject(dc, brush);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    RoundRect(dc, box.left, box.top, box.right, box.bottom, corner, corner);
    SelectObject(dc, previousPen);
    SelectObject(dc, previousBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void DrawLabel(HDC dc, const std::u16string& text, RECT box, HFONT font, COLORREF colour,
               UINT format) {
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, colour);
    DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
    SelectObject(dc, previous);
}

void DrawPrinterRow(const DRAWITEMSTRUCT& item, const PickerState& state) {
    const PrinterEntry& printer = state.printers[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const PrinterRowLayout row = LayoutPrinterRow(ToPickerRect(item.rcItem), printer.isDefault);
    const PrinterRowStyle style = StylePrinterRow(selected);
    HDC dc = item.hDC;

    FillRect(dc, &item.rcItem, state.listBrush);
    const COLORREF cardOutline = Colour(style.cardOutline);
    RoundBox(dc, ToRect(row.card), kCardCornerDiameter, Colour(style.cardFill), &cardOutline);

    const int previousMode = SetBkMode(dc, TRANSPARENT);
    DrawLabel(dc, printer.name, ToRect(row.text),
              style.strongText ? state.itemFontSelected : state.itemFont, Colour(style.text),
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    if (row.badge) {
        RoundBox(dc, ToRect(*row.badge), kBadgeCornerDiameter, Colour(style.badgeFill), nullptr);
        DrawLabel(dc, u"DEFAULT", ToRect(*row.badge), state.badgeFont, Colour(style.badgeText),
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    SetBkMode(dc, previousMode);
}

void DrawButton(const DRAWITEMSTRUCT& item, const PickerState& state) {
    const PickerButtonStyle style = StylePickerButton(
        item.CtlID == kPrintButtonId ? PickerButton::kPrint : PickerButton::kCancel,
        (item.itemState & ODS_SELECTED) != 0);
    const COLORREF outline = Colour(style.outline);
    RoundBox(item.hDC, item.rcItem, kCardCornerDiameter, Colour(style.fill), &outline);

    wchar_t caption[kCaptionCapacity] = {};
    GetWindowTextW(item.hwndItem, caption, kCaptionCapacity);
    const int previousMode = SetBkMode(item.hDC, TRANSPARENT);
    DrawLabel(item.hDC, reinterpret_cast<const char16_t*>(caption), item.rcItem,
              state.itemFontSelected, Colour(style.text), DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SetBkMode(item.hDC, previousMode);
}

INT_PTR OnDrawItem(HWND dialog, const DRAWITEMSTRUCT& item) {
    const PickerState* state = StateOf(dialog);
    if (state == nullptr) {
        return FALSE;
    }
    if (item.CtlID == kPrinterListId) {
        if (item.itemID != static_cast<UINT>(-1) && item.itemID < state->printers.size()) {
            DrawPrinterRow(item, *state);
        }
        return TRUE;
    }
    if (item.CtlID == kPrintButtonId || item.CtlID == kCancelButtonId) {
        DrawButton(item, *state);
        return TRUE;
    }
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    PickerState* state = StateOf(dialog);
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    if (id == IDCANCEL || id == kCancelButtonId) {
        if (state != nullptr) {
            state->selectedName.clear();
        }
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (id == kPrinterListId && notification == LBN_DBLCLK) {
        SendMessageW(dialog, WM_COMMAND, kPrintButtonId, 0);
        return TRUE;
    }
    if (id == kPrintButtonId && state != nullptr) {
        const LRESULT index = SendDlgItemMessageW(dialog, kPrinterListId, LB_GETCURSEL, 0, 0);
        if (index >= 0 && static_cast<std::size_t>(index) < state->printers.size()) {
            state->selectedName = state->printers[static_cast<std::size_t>(index)].name;
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    }
    // Enter's IDOK among them: no button is the default, so Enter never prints.
    return FALSE;
}

INT_PTR ColourControl(HWND dialog, WPARAM dc, std::uint32_t text, std::uint32_t background,
                      bool list) {
    const PickerState* state = StateOf(dialog);
    if (state == nullptr) {
        return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    }
    SetTextColor(reinterpret_cast<HDC>(dc), Colour(text));
    SetBkColor(reinterpret_cast<HDC>(dc), Colour(background));
    return reinterpret_cast<INT_PTR>(list ? state->listBrush : state->dialogBrush);
}

INT_PTR CALLBACK PickerProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
            Initialise(dialog, *reinterpret_cast<PickerState*>(lParam));
            return TRUE;
        case WM_MEASUREITEM: {
            // Sent while the list is created, before WM_INITDIALOG: needs no state.
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item->CtlID != kPrinterListId) {
                return FALSE;
            }
            item->itemHeight = kRowHeight;
            return TRUE;
        }
        case WM_DRAWITEM:
            return OnDrawItem(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            return OnCommand(dialog, wParam);
        case WM_CTLCOLORLISTBOX:
            return ColourControl(dialog, wParam, 0xE6EBF0, kPickerListColour, true);
        case WM_CTLCOLORSTATIC:
            return ColourControl(dialog, wParam, kPickerLabelColour, kPickerDialogColour, false);
        case WM_CTLCOLORDLG: {
            const PickerState* state = StateOf(dialog);
            return reinterpret_cast<INT_PTR>(state != nullptr ? state->dialogBrush
                                                              : GetStockObject(BLACK_BRUSH));
        }
        case WM_DESTROY:
            if (PickerState* state = StateOf(dialog)) {
                DeleteResources(*state);
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::u16string ShowPrinterPicker(HWND owner, std::vector<PrinterEntry> printers) {
    PickerState state;
    state.printers = std::move(printers);
    const std::vector<WORD> dialogTemplate = BuildPrinterPickerTemplate();
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), owner,
        PickerProcedure, reinterpret_cast<LPARAM>(&state));
    // Also frees what a dialog that failed half way through its creation had made.
    DeleteResources(state);
    return result == IDOK ? state.selectedName : std::u16string();
}

std::u16string ShowPrinterPicker(HWND owner) {
    return ShowPrinterPicker(owner, InstalledPrinters());
}

}  // namespace kestrum
