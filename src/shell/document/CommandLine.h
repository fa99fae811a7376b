#pragma once

#include <string>
#include <vector>

// What the command line asks for. Without a headless command the window opens.
struct CommandLine {
    std::string connect = "DSN=InteractionDB";
    std::string exportDotPath;
    std::string savePathwayPath;
    std::string statisticsPath;
    std::string filterName;
    std::string filterOutPath;
    std::vector<std::string> rest;  // left for the window system
    std::string error;              // non-empty when an option is malformed

    bool IsHeadless() const {
        return !exportDotPath.empty() || !savePathwayPath.empty() || !statisticsPath.empty() || !filterName.empty();
    }
};

CommandLine ParseCommandLine(int argc, char** argv);

// Runs the headless command; the process exit code (0 on success), with
// failures on standard error.
int RunHeadless(const CommandLine& options);
