#pragma once

#include <string>

namespace kestrum {

enum class MessageIcon { kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// A message to the learner: a modal box without an owner window, kept above other windows.
struct MessageBoxRequest {
    std::u16string text;  // usually English, a line break, then Arabic
    std::u16string caption;
    MessageIcon icon = MessageIcon::kInformation;
    MessageButtons buttons = MessageButtons::kOk;
    bool rightToLeft = false;  // right-aligned, right-to-left reading (the server's messages)
};

// Shows the box and waits for the answer. Implemented by each platform.
MessageAnswer ShowMessageBox(const MessageBoxRequest& request);

}  // namespace kestrum
