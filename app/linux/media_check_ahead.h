#pragma once

#include <string>
#include <vector>

namespace kestrum {

// The media part of the runtime check, asked of kestrum-media-check (beside the player) in a
// process of its own: on a first start the media framework builds its registry by loading
// every plugin, about a third of a second and several megabytes the player's own process
// need not carry. The program starts with the player and answers while the start goes on.

// Starts the program; does nothing while it is running. Once MissingMedia has taken its
// answer, a later call starts it again.
void BeginMediaCheck();

// The missing components' descriptions, in order: the program's answer, or the check made in
// this process when the program is not there, fails or does not answer within 15 seconds.
std::vector<std::string> MissingMedia();

// The program's output as descriptions: one a line, empty lines skipped.
std::vector<std::string> MediaCheckAnswer(const std::string& output);

}  // namespace kestrum
