#include <iostream>

#include "CommandLine.h"

#ifdef TW_WITH_GUI
#include "ExportImageCommands.h"
#include "TarnwickApp.h"
#endif

int main(int argc, char** argv) {
    const CommandLine options = ParseCommandLine(argc, argv);
#ifdef TW_WITH_GUI
    // The picture is drawn through the X display, without a window.
    if (!options.exportImagePath.empty() && options.error.empty() && !options.help && !options.version) {
        return RunExportImage(options);
    }
#endif
    // Help, refusals and headless commands run without any window system.
    if (options.NeedsNoWindow()) {
        return RunHeadless(options);
    }
#ifdef TW_WITH_GUI
    return RunTarnwick(argv[0], options);
#else
    std::cerr << "tarnwick: the window is not available in this build; see --help\n";
    return 2;
#endif
}
