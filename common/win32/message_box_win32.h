#pragma once

#include <windows.h>

#include <string>

#include "common/message_box.h"

namespace kestrum {

// The flags of a learner's box: above every window and brought to the foreground, the
// request's icon and buttons, right-aligned right-to-left reading when asked.
UINT MessageBoxFlags(const MessageBoxRequest& request);

// The answer a box's result stands for; anything unexpected (a box that could not be shown,
// or closed another way) counts as the refusing answer of its buttons.
MessageAnswer AnswerOf(int result, MessageButtons buttons);

// The box owned by `owner` (null: no owner), waiting for the answer.
MessageAnswer ShowOwnedMessageBox(HWND owner, const MessageBoxRequest& request);

// A box with flags of its own (a question icon, for example): MessageBoxW's raw result.
int ShowRawMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption,
                      UINT flags);

}  // namespace kestrum
