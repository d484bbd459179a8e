#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

// Which headers the player adds to the browsers' requests; the engine backends only apply
// the list (each header replacing any value of the same name).

enum class BrowserWindow { kMain, kStart };

struct DeviceValues {
    std::u16string id;
    std::u16string description;
};

struct RequestHeader {
    std::u16string name;
    std::u16string value;
    bool operator==(const RequestHeader&) const = default;
};

// An address of the platform: its host contains one of the profile's platform host
// fragments.
bool IsPlatformAddress(std::u16string_view url);

// A media address: the lower-cased address ends with one of the profile's media suffix
// patterns or contains its "anywhere" pattern.
bool IsMediaAddress(std::u16string_view url);

// The host whose pins a request must pass: the host of an https address (the lower-cased
// request address), empty for any other address.
std::u16string PinCheckHost(std::u16string_view lowerUrl);

// The headers of one request of a window's browser, in the order they are set: the client
// header; the device headers for platform addresses; the media device headers for media
// addresses (device values only when non-empty); then in the main window the platform's
// site as Referer for YouTube requests (`linkServer` without one trailing "/", when
// non-empty), in the start window its two request headers. A request whose pin check fails
// gets none of this.
std::vector<RequestHeader> RequestHeaders(std::u16string_view url, BrowserWindow window,
                                          const DeviceValues& device,
                                          std::u16string_view linkServer);

// The headers of a navigation the player starts itself: for a platform address the client
// header and both device header pairs (device values only when non-empty); empty for any
// other address, which is opened plainly.
std::vector<RequestHeader> PlatformNavigationHeaders(std::u16string_view address,
                                                     const DeviceValues& device);

}  // namespace kestrum
