#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// What a page may ask of the learner's computer.
enum class PermissionKind {
    kCamera,
    kMicrophone,
    kNotifications,
    kDeviceList,  // the names of the cameras and microphones, for choosing one of them
    kScreenCapture,
    kLocation,
    kPointerLock,
    kProtectedMedia,  // a DRM key system
    kClipboard,
    kStorageAccess,  // cookies of another site inside a frame
    kOther,
};

enum class PermissionAnswer { kAllow, kAskLearner, kDeny };

// Camera, microphone and notifications are the player's to grant (with the list of devices
// they come with); showing the screen or telling where the learner is needs the learner's yes;
// nothing else is granted.
PermissionAnswer PermissionRule(PermissionKind kind);

// The question put to the learner for a kind that asks: English, a line break, Arabic.
// Empty for the kinds that never ask.
std::u16string PermissionQuestion(PermissionKind kind);

inline constexpr std::u16string_view kPermissionCaption = u"Permission request - طلب إذن";

}  // namespace kestrum
