#pragma once

#include <string>
#include <vector>

namespace kestrum {

// The command line as the system splits it: argv[0] is the program, and `tail` is the text
// after the program name (what a Windows entry point receives as its command line).
struct CommandLine {
    std::vector<std::u16string> argv;
    std::u16string tail;
};

// The link is the first argument; when that is missing or empty and the tail holds
// "kestrum:" (this exact case), the whole tail is the link.
std::u16string ChooseLinkArgument(const CommandLine& commandLine);

// Link mode: "kestrum:" anywhere in the argument, in any letter case.
bool HasSchemeArgs(const std::u16string& linkArgument);

// The command line of this process, read the platform's way (argc/argv are used where the
// platform hands the arguments to main).
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace kestrum
