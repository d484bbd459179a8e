#pragma once

namespace kestrum {

// Opens the player's support log in the user's state folder and notes the version that
// writes it. Quietly does nothing when the folder cannot be made: the player runs on.
void StartPlayerSupportLog();

}  // namespace kestrum
