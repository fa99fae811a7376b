#include <iostream>

#include "CommandLine.h"

int main(int argc, char** argv) {
    CommandLine options = ParseCommandLine(argc, argv);
    if (options.IsHeadless() || !options.error.empty()) {
        return RunHeadless(options);
    }
    std::cerr << "tarnwick: the window is not available in this build; use --export-dot PATH\n";
    return 2;
}
