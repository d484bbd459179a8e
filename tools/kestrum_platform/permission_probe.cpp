#include "tools/kestrum_platform/permission_probe.h"

namespace kestrum::platform {
namespace {

constexpr const char* kPage = R"HTML(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Permission probe</title>
<style>body{margin:0;background:#fff}#screen{width:100%;height:100vh;border:none;
background:#1b7f3b;color:#fff;font-size:32px}</style>
</head><body>
<button id="screen">Share the screen</button>
<script>
const report = (name, value) =>
    fetch('/__test/report?' + new URLSearchParams({ name, value: String(value) }));
Notification.requestPermission().then((answer) => report('notifications', answer));
navigator.geolocation.getCurrentPosition(() => report('location', 'granted'),
                                         (error) => report('location', 'error ' + error.code));
document.getElementById('screen').addEventListener('click', () => {
    Notification.requestPermission().then((answer) => report('notifications-on-click', answer));
    const devices = navigator.mediaDevices;
    if (!devices || !devices.getDisplayMedia) return report('screen', 'unsupported');
    devices.getDisplayMedia({ video: true }).then(() => report('screen', 'granted'),
                                                  (error) => report('screen', error.name));
});
</script>
</body></html>
)HTML";

}  // namespace

std::optional<Reply> PermissionProbeReply(const std::string& path) {
    if (path != "/content/permission-probe.html")
        return std::nullopt;
    return Reply{200, "text/html; charset=utf-8", kPage, {}};
}

}  // namespace kestrum::platform
