#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// What the command line asks for. Without a headless command the window opens.
struct CommandLine {
    std::string connect = "DSN=InteractionDB";
    std::string exportDotPath;
    std::string savePathwayPath;
    bool startup = false;  // with --save-pathway: the start-up graph, not the sphere view's
    std::string openPathwayPath;
    std::string dumpSphereGridPath;
    std::string editScriptPath;
    std::string statisticsPath;
    std::string filterName;
    std::string filterOutPath;  // the second value of --filter
    std::string layoutEngine;      // dot, neato, fdp, sfdp or auto
    std::string positionsOutPath;  // where --layout writes the node positions
    std::string exportImagePath;
    std::string imageSize;  // "WxH"; empty for the default
    std::string imageView;  // "box" or "sphere"; empty for box
    bool help = false;
    bool version = false;
    std::vector<std::string> rest;  // arguments without "--", left for the window system
    std::string error;              // non-empty when the command line is refused

    bool IsHeadless() const {
        return !exportDotPath.empty() || !savePathwayPath.empty() || startup || !openPathwayPath.empty() ||
               !dumpSphereGridPath.empty() || !editScriptPath.empty() || !statisticsPath.empty() ||
               !filterName.empty() || !layoutEngine.empty() || !positionsOutPath.empty() ||
               !exportImagePath.empty();
    }
    // Help, version, a refused command line and the headless commands run
    // without any window system.
    bool NeedsNoWindow() const { return help || version || !error.empty() || IsHeadless(); }
};

// One row per option: its name, the member a value goes to (or the flag it
// sets), the value's placeholder in the usage text, and the help text.
struct CommandLineOption {
    const char* name;
    std::string CommandLine::*value;  // null for a flag
    bool CommandLine::*flag;          // null for an option with a value
    const char* placeholder;
    const char* help;
};
const std::vector<CommandLineOption>& CommandLineOptions();

CommandLine ParseCommandLine(int argc, char** argv);

// The picture size of --export-image: "WxH", each side 1 to 8192; empty
// text gives 1024 x 768. False for any other text.
bool ParseImageSize(const std::string& text, int& width, int& height);

// The usage text, built from the option table.
std::string UsageText();
std::string VersionText();

// Runs what needs no window: help, version, a refusal (usage on `err`,
// exit code 2) or the headless command. Returns the process exit code (0 on
// success), with failures on `err`.
int RunHeadless(const CommandLine& options, std::ostream& out, std::ostream& err);
int RunHeadless(const CommandLine& options);
