#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The running program's file, as the kernel names it; empty when it cannot be read.
std::string OwnExecutablePath();

// The folder of that file (no trailing slash); empty when unknown.
std::string OwnExecutableFolder();

// The player's companions (the diagnostic program, the media check, the web-process extension's
// folder), found from the running program's own place, so that a package built for any prefix
// finds them: beside the program (the build tree, and <prefix>/bin), then in
// <prefix>/lib/kestrum/ (helpers that are not the learner's commands). Empty when neither
// holds an executable program, or a folder, of that name.
std::string CompanionProgram(std::string_view name);
std::string CompanionFolder(std::string_view name);

}  // namespace kestrum
