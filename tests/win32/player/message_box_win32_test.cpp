// Message boxes as the learner gets them: the flags of each kind, and real boxes answered by
// clicking their buttons.
#include <gtest/gtest.h>

#include "box_answerer_win32.h"
#include "common/win32/message_box_win32.h"

namespace kestrum {
namespace {

TEST(MessageBoxFlags, EachRequestGetsItsIconButtonsAndReading) {
    struct Case {
        MessageIcon icon;
        MessageButtons buttons;
        bool rightToLeft;
        UINT flags;
    } cases[] = {
        {MessageIcon::kInformation, MessageButtons::kOk, false,
         MB_TOPMOST | MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OK},
        {MessageIcon::kError, MessageButtons::kOk, false,
         MB_TOPMOST | MB_SETFOREGROUND | MB_ICONERROR},
        {MessageIcon::kWarning, MessageButtons::kOkCancel, false,
         MB_TOPMOST | MB_SETFOREGROUND | MB_ICONWARNING | MB_OKCANCEL},
        {MessageIcon::kInformation, MessageButtons::kYesNo, false,
         MB_TOPMOST | MB_SETFOREGROUND | MB_ICONINFORMATION | MB_YESNO},
        {MessageIcon::kWarning, MessageButtons::kOk, true,
         MB_TOPMOST | MB_SETFOREGROUND | MB_ICONWARNING | MB_RIGHT | MB_RTLREADING},
    };
    for (const Case& c : cases) {
        MessageBoxRequest request;
        request.icon = c.icon;
        request.buttons = c.buttons;
        request.rightToLeft = c.rightToLeft;
        EXPECT_EQ(MessageBoxFlags(request), c.flags);
    }
}

TEST(MessageBoxAnswers, ClosingABoxCountsAsItsRefusal) {
    EXPECT_EQ(AnswerOf(IDOK, MessageButtons::kOk), MessageAnswer::kOk);
    EXPECT_EQ(AnswerOf(IDOK, MessageButtons::kOkCancel), MessageAnswer::kOk);
    EXPECT_EQ(AnswerOf(IDCANCEL, MessageButtons::kOkCancel), MessageAnswer::kCancel);
    EXPECT_EQ(AnswerOf(0, MessageButtons::kOkCancel), MessageAnswer::kCancel);
    EXPECT_EQ(AnswerOf(IDYES, MessageButtons::kYesNo), MessageAnswer::kYes);
    EXPECT_EQ(AnswerOf(IDNO, MessageButtons::kYesNo), MessageAnswer::kNo);
    EXPECT_EQ(AnswerOf(0, MessageButtons::kYesNo), MessageAnswer::kNo);
}

TEST(MessageBoxes, AnsweredByClickingTheirButtons) {
    struct Case {
        MessageButtons buttons;
        int clicked;
        MessageAnswer answer;
    } cases[] = {
        {MessageButtons::kYesNo, IDYES, MessageAnswer::kYes},
        {MessageButtons::kYesNo, IDNO, MessageAnswer::kNo},
        {MessageButtons::kOkCancel, IDOK, MessageAnswer::kOk},
        {MessageButtons::kOkCancel, IDCANCEL, MessageAnswer::kCancel},
    };
    for (const Case& c : cases) {
        const std::u16string caption = u"Kestrum - Update Available";
        BoxAnswerer answerer(L"Kestrum - Update Available", c.clicked);
        const MessageAnswer answer = ShowMessageBox(
            {u"A new version\nنسخة", caption, MessageIcon::kInformation, c.buttons, false});
        answerer.Join();
        ASSERT_TRUE(answerer.found);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(answerer.text, L"A new version\nنسخة");
        EXPECT_TRUE(answerer.ownerClass.empty()) << "no owner window";
    }
}

// Wine's boxes do not apply the top-most and right-to-left flags (the flags test above holds
// them); what reaches the learner here is the Arabic caption and text, unchanged.
TEST(MessageBoxes, ServerMessagesKeepTheirArabicText) {
    BoxAnswerer answerer(L"Kestrum - خطأ", IDOK);
    ShowMessageBox(
        {u"رسالة الخادم", u"Kestrum - خطأ", MessageIcon::kWarning, MessageButtons::kOk, true});
    answerer.Join();
    ASSERT_TRUE(answerer.found);
    EXPECT_EQ(answerer.text, L"رسالة الخادم");
}

}  // namespace
}  // namespace kestrum
