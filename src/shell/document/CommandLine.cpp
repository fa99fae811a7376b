#include "CommandLine.h"

#include <iostream>

#include "TarnwickDoc.h"

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine cl;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) {
                cl.error = "option " + arg + " needs a value";
                return;
            }
            target = argv[++i];
        };
        if (arg == "--connect") {
            value(cl.connect);
        } else if (arg == "--export-dot") {
            value(cl.exportDotPath);
        } else {
            cl.rest.push_back(arg);
        }
    }
    return cl;
}

int RunHeadless(const CommandLine& options) {
    if (!options.error.empty()) {
        std::cerr << "tarnwick: " << options.error << "\n";
        return 2;
    }
    CTarnwickDoc doc(options.connect);
    std::string error;
    if (!options.exportDotPath.empty()) {
        if (!doc.ExportDot(options.exportDotPath, error)) {
            std::cerr << "tarnwick: " << error << "\n";
            return 1;
        }
        std::cout << "Wrote " << options.exportDotPath << " (" << doc.m_pGraph->m_circle_count - 1
                  << " molecules)\n";
    }
    return 0;
}
