#include "browser/permission_rules.h"

namespace kestrum {

PermissionAnswer PermissionRule(PermissionKind kind) {
    switch (kind) {
        case PermissionKind::kCamera:
        case PermissionKind::kMicrophone:
        case PermissionKind::kNotifications:
        case PermissionKind::kDeviceList:
            return PermissionAnswer::kAllow;
        case PermissionKind::kScreenCapture:
        case PermissionKind::kLocation:
            return PermissionAnswer::kAskLearner;
        case PermissionKind::kPointerLock:
        case PermissionKind::kProtectedMedia:
        case PermissionKind::kClipboard:
        case PermissionKind::kStorageAccess:
        case PermissionKind::kOther:
            break;
    }
    return PermissionAnswer::kDeny;
}

std::u16string PermissionQuestion(PermissionKind kind) {
    switch (kind) {
        case PermissionKind::kScreenCapture:
            return u"This page asks to see and share your screen. Allow it?\n"
                   u"تطلب هذه الصفحة رؤية شاشتك ومشاركتها. هل تسمح بذلك؟";
        case PermissionKind::kLocation:
            return u"This page asks where you are (your location). Allow it?\n"
                   u"تطلب هذه الصفحة معرفة مكانك (موقعك). هل تسمح بذلك؟";
        default:
            return {};
    }
}

}  // namespace kestrum
