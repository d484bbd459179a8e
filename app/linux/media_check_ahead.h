#pragma once

#include <string>
#include <vector>

namespace kestrum {

// The media part of the runtime check, asked of kestrum-media-check (a companion of the
// player) in a process of its own: on a first start the media framework has no registry yet
// and must load plugins to answer (a fifth of a second for the few that usually hold the
// components, a third for all of them), and several megabytes the player's own process need
// not carry. The program starts before the toolkit and answers while the start goes on. The
// first start's answer leaves the framework without a registry; once the start is over, the
// program builds one at the lowest priority, for the starts after it.

// Starts the program; does nothing while it is running. Once MissingMedia has taken its
// answer, a later call starts it again.
void BeginMediaCheck();

// The missing components' descriptions, in order: the program's answer, or the check made in
// this process when the program is not there, fails or does not answer within 15 seconds.
std::vector<std::string> MissingMedia();

}  // namespace kestrum
