#pragma once

#include <webkit2/webkit2.h>

namespace kestrum {

// Turns on what pages need for video calls: WebRTC and the camera and microphone.
void TurnOnVideoCalls(WebKitSettings* settings);

// Whether this WebKitGTK build gives pages WebRTC once it is turned on. Some builds leave it
// out (RTCPeerConnection stays undefined whatever the settings say), so the engine is asked:
// a throwaway view of its own, with video calls on, evaluates `typeof RTCPeerConnection`.
// Asked once per process, waiting on the main loop at most a few seconds; no answer in time
// counts as none.
bool EngineOffersWebRtc();

}  // namespace kestrum
