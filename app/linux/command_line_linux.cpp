#include "app/link_argument.h"
#include "common/text_encoding.h"

namespace kestrum {

// Linux hands the arguments over already split; the tail is rebuilt from them, joined by
// blanks, which is what a desktop launcher passed as the rest of the command.
CommandLine ReadCommandLine(int argc, char** argv) {
    CommandLine commandLine;
    for (int i = 0; i < argc; ++i) {
        commandLine.argv.push_back(Utf8ToUtf16(argv[i] ? argv[i] : ""));
        if (i > 0) {
            if (i > 1)
                commandLine.tail += u' ';
            commandLine.tail += commandLine.argv.back();
        }
    }
    return commandLine;
}

}  // namespace kestrum
