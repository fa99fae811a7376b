#include <iostream>

#include "CommandLine.h"

#ifdef TW_WITH_GUI
#include "TarnwickApp.h"
#endif

int main(int argc, char** argv) {
    CommandLine options = ParseCommandLine(argc, argv);
    // Headless commands run without any window system.
    if (options.IsHeadless() || !options.error.empty()) {
        return RunHeadless(options);
    }
#ifdef TW_WITH_GUI
    return RunTarnwick(argc, argv, options);
#else
    std::cerr << "tarnwick: the window is not available in this build; use --export-dot PATH\n";
    return 2;
#endif
}
