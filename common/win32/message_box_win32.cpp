#include "common/win32/message_box_win32.h"

#include "common/message_text_limit.h"

namespace kestrum {
namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

UINT MessageBoxFlags(const MessageBoxRequest& request) {
    UINT flags = MB_TOPMOST | MB_SETFOREGROUND;
    switch (request.icon) {
        case MessageIcon::kInformation:
            flags |= MB_ICONINFORMATION;
            break;
        case MessageIcon::kWarning:
            flags |= MB_ICONWARNING;
            break;
        case MessageIcon::kError:
            flags |= MB_ICONERROR;
            break;
        case MessageIcon::kQuestion:
            flags |= MB_ICONQUESTION;
            break;
    }
    switch (request.buttons) {
        case MessageButtons::kOk:
            flags |= MB_OK;
            break;
        case MessageButtons::kOkCancel:
            flags |= MB_OKCANCEL;
            break;
        case MessageButtons::kYesNo:
            flags |= MB_YESNO;
            break;
    }
    if (request.rightToLeft)
        flags |= MB_RIGHT | MB_RTLREADING;
    return flags;
}

MessageAnswer AnswerOf(int result, MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kOk:
            return MessageAnswer::kOk;
        case MessageButtons::kOkCancel:
            return result == IDOK ? MessageAnswer::kOk : MessageAnswer::kCancel;
        case MessageButtons::kYesNo:
            return result == IDYES ? MessageAnswer::kYes : MessageAnswer::kNo;
    }
    return MessageAnswer::kCancel;
}

int ShowRawMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption,
                      UINT flags) {
    return MessageBoxW(owner, Wide(text), Wide(caption), flags);
}

MessageAnswer ShowOwnedMessageBox(HWND owner, const MessageBoxRequest& request) {
    // A service message of any size stays a box that fits the screen.
    const int result = ShowRawMessageBox(owner, LimitMessageText(request.text), request.caption,
                                         MessageBoxFlags(request));
    return AnswerOf(result, request.buttons);
}

MessageAnswer ShowMessageBox(const MessageBoxRequest& request) {
    return ShowOwnedMessageBox(nullptr, request);
}

}  // namespace kestrum
