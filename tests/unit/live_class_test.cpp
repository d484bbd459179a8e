#include <gtest/gtest.h>

#include "browser/permission_rules.h"
#include "common/text_encoding.h"
#include "link/live_class_page.h"

namespace kestrum {
namespace {

TEST(LiveClassPage, OnlyAnHttpsAddressWithoutBlanksGoesToTheWebBrowser) {
    const std::u16string meeting = u"https://us02web.zoom.us/j/81234567890?pwd=demo";
    struct Case {
        std::u16string address;
        bool given;
    };
    const std::vector<Case> cases = {
        {meeting, true},
        {u"HTTPS://kestrum.zoom.us/j/81234567891", true},
        {u"http://us02web.zoom.us/j/81234567890", false},
        {u"https://", false},
        {u"--new-window https://us02web.zoom.us/j/1", false},
        {u"https://us02web.zoom.us/j/1 --incognito", false},
        {u"https://us02web.zoom.us/j/1\n--incognito", false},
        {u"https://us02web.zoom.us/j/1\t", false},
        {u"javascript:alert(1)//https://x.zoom.us", false},
        {u"file:///etc/passwd#https://x.zoom.us", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LiveClassBrowserAddress(c.address), c.given ? c.address : u"")
            << Utf16ToUtf8(c.address);
    }
}

TEST(LiveClassPage, SaysWhyInBothLanguagesAndOffersTheBrowserOnlyForAnHttpsMeeting) {
    const std::u16string page =
        BuildLiveClassPage(u"https://us02web.zoom.us/j/81234567890?pwd=demo&x=1", u"Kestrum");
    EXPECT_NE(page.find(u"This live class cannot be joined inside the player"),
              std::u16string::npos);
    EXPECT_NE(page.find(u"لا يمكن الانضمام إلى هذا الدرس المباشر"), std::u16string::npos);
    EXPECT_NE(page.find(u"<button id='open'"), std::u16string::npos);
    EXPECT_NE(page.find(u"https://us02web.zoom.us/j/81234567890?pwd=demo&amp;x=1"),
              std::u16string::npos)
        << "the address is shown, escaped";
    EXPECT_NE(page.find(u"postMessage('openLiveClassInBrowser')"), std::u16string::npos);
    EXPECT_NE(page.find(u"postMessage('pageLoaded')"), std::u16string::npos)
        << "the window is shown like any content page";

    const std::u16string plain = BuildLiveClassPage(u"http://x.zoom.us/j/1'><script>", u"K");
    EXPECT_EQ(plain.find(u"<button"), std::u16string::npos);
    EXPECT_EQ(plain.find(u"'><script>"), std::u16string::npos);
    EXPECT_NE(plain.find(u"&#39;&gt;&lt;script&gt;"), std::u16string::npos);
}

TEST(LiveClassPage, TheAnswerToThePageIsJson) {
    EXPECT_EQ(Utf16ToUtf8(LiveClassAnswer(true)),
              R"({"type":"liveClassInBrowser","status":"opened"})");
    EXPECT_EQ(Utf16ToUtf8(LiveClassAnswer(false)),
              R"({"type":"liveClassInBrowser","status":"failed"})");
}

TEST(PagePermissions, CameraMicrophoneAndNotificationsOnlyAreGrantedTheScreenIsAsked) {
    struct Case {
        PermissionKind kind;
        PermissionAnswer answer;
    };
    const std::vector<Case> cases = {
        {PermissionKind::kCamera, PermissionAnswer::kAllow},
        {PermissionKind::kMicrophone, PermissionAnswer::kAllow},
        {PermissionKind::kNotifications, PermissionAnswer::kAllow},
        {PermissionKind::kDeviceList, PermissionAnswer::kAllow},
        {PermissionKind::kScreenCapture, PermissionAnswer::kAskLearner},
        {PermissionKind::kLocation, PermissionAnswer::kAskLearner},
        {PermissionKind::kPointerLock, PermissionAnswer::kDeny},
        {PermissionKind::kProtectedMedia, PermissionAnswer::kDeny},
        {PermissionKind::kClipboard, PermissionAnswer::kDeny},
        {PermissionKind::kStorageAccess, PermissionAnswer::kDeny},
        {PermissionKind::kOther, PermissionAnswer::kDeny},
    };
    for (const Case& c : cases) {
        const int kind = static_cast<int>(c.kind);
        EXPECT_EQ(PermissionRule(c.kind), c.answer) << kind;
        // Every kind that asks has its question, in English and then Arabic.
        const std::u16string question = PermissionQuestion(c.kind);
        EXPECT_EQ(question.empty(), c.answer != PermissionAnswer::kAskLearner) << kind;
        if (!question.empty()) {
            const size_t lineBreak = question.find(u'\n');
            ASSERT_NE(lineBreak, std::u16string::npos) << kind;
            EXPECT_LT(question[0], 0x80) << kind;
            EXPECT_GE(question[lineBreak + 1], 0x600) << kind;
        }
    }
}

}  // namespace
}  // namespace kestrum
