#pragma once

#include <string>
#include <vector>

namespace kestrum {

// What the player does with the options it was given, decided before anything else starts
// (no window, no instance guard, no network): a support engineer or a script asking for the
// help or the version must get an answer even where the player could not start.
enum class CommandLineAction {
    kRun,          // a link, nothing at all, or free text: the usual start
    kShowHelp,     // `text` goes to standard output, exit 0
    kShowVersion,  // `text` goes to standard output, exit 0
    kRefuse,       // `text` goes to standard error, exit 2
};

struct CommandLineDecision {
    CommandLineAction action = CommandLineAction::kRun;
    std::string text;
    int exitCode = 0;
};

// `arguments` are the arguments after the program name. Only an option in the first place is
// looked at: a link may itself hold a dash, and anything holding the link scheme is a link.
CommandLineDecision DecideCommandLine(const std::vector<std::u16string>& arguments);

}  // namespace kestrum
