#include "browser/linux/permission_requests.h"

#include <memory>
#include <string>

#include "common/debug_log.h"
#include "common/message_box.h"

namespace kestrum {
namespace {

bool asking = false;  // main thread only

void AskLearner(WebKitPermissionRequest* request, PermissionKind kind) {
    if (asking) {
        webkit_permission_request_deny(request);
        return;
    }
    asking = true;
    struct Question {
        WebKitPermissionRequest* request;
        PermissionKind kind;
    };
    // Asked from the main loop, not inside WebKit's signal; the request waits, held.
    g_idle_add(
        [](gpointer data) -> gboolean {
            std::unique_ptr<Question> question(static_cast<Question*>(data));
            const MessageAnswer answer = ShowMessageBox(
                {PermissionQuestion(question->kind), std::u16string(kPermissionCaption),
                 MessageIcon::kQuestion, MessageButtons::kYesNo, false});
            if (answer == MessageAnswer::kYes)
                webkit_permission_request_allow(question->request);
            else
                webkit_permission_request_deny(question->request);
            g_object_unref(question->request);
            asking = false;
            return G_SOURCE_REMOVE;
        },
        new Question{WEBKIT_PERMISSION_REQUEST(g_object_ref(request)), kind});
}

}  // namespace

PermissionKind PermissionKindOf(WebKitPermissionRequest* request) {
    if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)) {
        auto* media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
        if (webkit_user_media_permission_is_for_display_device(media))
            return PermissionKind::kScreenCapture;
        if (webkit_user_media_permission_is_for_video_device(media))
            return PermissionKind::kCamera;
        if (webkit_user_media_permission_is_for_audio_device(media))
            return PermissionKind::kMicrophone;
        return PermissionKind::kOther;
    }
    if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request))
        return PermissionKind::kNotifications;
    if (WEBKIT_IS_DEVICE_INFO_PERMISSION_REQUEST(request))
        return PermissionKind::kDeviceList;
    if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request))
        return PermissionKind::kLocation;
    if (WEBKIT_IS_POINTER_LOCK_PERMISSION_REQUEST(request))
        return PermissionKind::kPointerLock;
    if (WEBKIT_IS_MEDIA_KEY_SYSTEM_PERMISSION_REQUEST(request))
        return PermissionKind::kProtectedMedia;
    if (WEBKIT_IS_CLIPBOARD_PERMISSION_REQUEST(request))
        return PermissionKind::kClipboard;
    if (WEBKIT_IS_WEBSITE_DATA_ACCESS_PERMISSION_REQUEST(request))
        return PermissionKind::kStorageAccess;
    return PermissionKind::kOther;
}

void AnswerPermissionRequest(WebKitPermissionRequest* request) {
    const PermissionKind kind = PermissionKindOf(request);
    const std::string what = "Permission request " + std::to_string(static_cast<int>(kind));
    switch (PermissionRule(kind)) {
        case PermissionAnswer::kAllow:
            DebugLog(what + ": granted");
            webkit_permission_request_allow(request);
            return;
        case PermissionAnswer::kAskLearner:
            DebugLog(what + ": the learner is asked");
            AskLearner(request, kind);
            return;
        case PermissionAnswer::kDeny:
            break;
    }
    DebugLog(what + ": refused");
    webkit_permission_request_deny(request);
}

}  // namespace kestrum
