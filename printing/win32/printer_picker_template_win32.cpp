#include "printing/win32/printer_picker_template_win32.h"

#include <string_view>

namespace kestrum {
namespace {

constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr WORD kFontPoints = 10;
constexpr std::wstring_view kFontFace = L"Segoe UI";
constexpr std::wstring_view kHeadingText = L"Choose the printer for this page:";
constexpr std::wstring_view kNoPrinterText =
    L"No printer was found.\nInstall or connect a printer, then try again.";

// Predefined control classes, named by atom.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY |
                             LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

struct Item {
    int id;
    WORD classAtom;
    DWORD style;
    short x, y, cx, cy;
    std::wstring_view text;
};

class TemplateWriter {
  public:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(std::wstring_view text) {
        for (const wchar_t c : text) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    void AlignToDword() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(words_); }

  private:
    std::vector<WORD> words_;
};

}  // namespace

std::vector<WORD> BuildPrinterPickerTemplate() {
    static constexpr Item kItems[] = {
        {kPickerHeadingId, kStaticAtom, WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 10, 256, 16,
         kHeadingText},
        {kPrinterListId, kListBoxAtom, kListStyle, 12, 30, 256, 135, {}},
        // Shown instead of the list when there is no printer.
        {kNoPrinterNoticeId, kStaticAtom, WS_CHILD | SS_CENTER, 12, 60, 256, 40, kNoPrinterText},
        {kPrintButtonId, kButtonAtom, kButtonStyle, 124, 174, 70, 24, L"Print"},
        {kCancelButtonId, kButtonAtom, kButtonStyle, 198, 174, 70, 24, L"Cancel"},
    };

    TemplateWriter out;
    out.Dword(kDialogStyle);
    out.Dword(0);  // extended style
    out.Word(static_cast<WORD>(std::size(kItems)));
    out.Word(0);  // x
    out.Word(0);  // y
    out.Word(280);
    out.Word(210);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(kPrinterPickerTitle);
    out.Word(kFontPoints);
    out.Text(kFontFace);

    for (const Item& item : kItems) {
        out.AlignToDword();
        out.Dword(item.style);
        out.Dword(0);  // extended style
        out.Word(static_cast<WORD>(item.x));
        out.Word(static_cast<WORD>(item.y));
        out.Word(static_cast<WORD>(item.cx));
        out.Word(static_cast<WORD>(item.cy));
        out.Word(static_cast<WORD>(item.id));
        out.Word(0xFFFF);
        out.Word(item.classAtom);
        out.Text(item.text);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace kestrum
