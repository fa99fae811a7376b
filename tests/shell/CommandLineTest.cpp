// The command line: argv in, what the program does without a window out.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

struct Row {
    std::vector<std::string> args;
    bool window;        // the window would open
    int exitCode;       // without a window: RunHeadless's code (-1: a headless command runs)
    std::string said;   // part of what is printed (on standard output for code 0)
    std::string exportDot, savePathway, connect;
    std::vector<std::string> rest;
};

const char* const kDefault = "DSN=InteractionDB";

TEST(CommandLine, RefusesWhatItDoesNotKnowAndParsesTheRest) {
    const Row rows[] = {
        {{}, true, -1, "", "", "", kDefault, {}},
        {{"--connect", "DSN=X", "-platform", "offscreen"}, true, -1, "", "", "", "DSN=X", {"-platform", "offscreen"}},
        {{"--export-dot", "a.dot", "--save-pathway", "b.bb"}, false, -1, "", "a.dot", "b.bb", kDefault, {}},
        {{"--export-dot", "-a.dot"}, false, -1, "", "-a.dot", "", kDefault, {}},
        // A value that starts with "--" is the next option: the value is missing.
        {{"--export-dot", "--save-pathway", "b.bb"}, false, 2, "option --export-dot needs a value", "", "b.bb",
         kDefault, {}},
        {{"--save-pathway"}, false, 2, "option --save-pathway needs a value", "", "", kDefault, {}},
        {{"--export-dot", ""}, false, 2, "not an empty one", "", "", kDefault, {}},
        {{"--connect", ""}, false, 2, "option --connect needs a value", "", "", kDefault, {}},
        {{"--export-dot=a.dot"}, false, 2, "takes its value as the next argument", "", "", kDefault, {}},
        {{"--help=1"}, false, 2, "option --help takes no value", "", "", kDefault, {}},
        {{"--exportdot", "a.dot"}, false, 2, "unknown option --exportdot", "", "", kDefault, {"a.dot"}},
        {{"--"}, false, 2, "unknown option --", "", "", kDefault, {}},
        {{"--export-dot", "a", "--export-dot", "b"}, false, 2, "given twice", "b", "", kDefault, {}},
        {{"--export-dot", "a.dot", "extra"}, false, 2, "unexpected argument extra", "a.dot", "", kDefault, {"extra"}},
        {{"--help"}, false, 0, "--dump-sphere-grid OUT", "", "", kDefault, {}},
        {{"--export-dot", "a.dot", "--help"}, false, 0, "Usage: tarnwick", "a.dot", "", kDefault, {}},
        {{"--version"}, false, 0, "Tarnwick 1.0", "", "", kDefault, {}},
        {{"--layout", "auto", "--positions-out", "p.txt"}, false, -1, "", "", "", kDefault, {}},
        {{"--layout", "twopi", "--positions-out", "p.txt"}, false, 2, "unknown layout engine twopi", "", "",
         kDefault, {}},
        {{"--positions-out", "p.txt"}, false, 2, "option --positions-out needs --layout ENGINE", "", "", kDefault,
         {}},
        {{"--export-image", "a.png", "--size", "8192x1", "--view", "sphere"}, false, -1, "", "", "", kDefault, {}},
        {{"--size", "10x10"}, false, 2, "option --size needs --export-image", "", "", kDefault, {}},
        {{"--view", "box"}, false, 2, "option --view needs --export-image", "", "", kDefault, {}},
        {{"--export-image", "a.png", "--size", "8193x10"}, false, 2, "option --size takes WxH", "", "", kDefault, {}},
        {{"--export-image", "a.png", "--size", "0x10"}, false, 2, "option --size takes WxH", "", "", kDefault, {}},
        {{"--export-image", "a.png", "--size", "10*10"}, false, 2, "option --size takes WxH", "", "", kDefault, {}},
        {{"--export-image", "a.png", "--size", "10x"}, false, 2, "option --size takes WxH", "", "", kDefault, {}},
        {{"--export-image", "a.png", "--view", "top"}, false, 2, "option --view takes box or sphere", "", "", kDefault,
         {}},
        {{"--export-image", "a.png", "--export-dot", "a.dot"}, false, 2, "goes with no other output option", "a.dot",
         "", kDefault, {}},
        {{"--help"}, false, 0, "--export-image OUT.png", "", "", kDefault, {}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> storage{"tarnwick"};
        storage.insert(storage.end(), row.args.begin(), row.args.end());
        std::vector<char*> argv;
        std::string trace;
        for (std::string& arg : storage) {
            argv.push_back(arg.data());
            trace += arg + " ";
        }
        argv.push_back(nullptr);
        SCOPED_TRACE(trace);
        const CommandLine cl = ParseCommandLine(static_cast<int>(storage.size()), argv.data());
        EXPECT_EQ(!cl.NeedsNoWindow(), row.window);
        EXPECT_EQ(cl.exportDotPath, row.exportDot);
        EXPECT_EQ(cl.savePathwayPath, row.savePathway);
        EXPECT_EQ(cl.connect, row.connect);
        EXPECT_EQ(cl.rest, row.rest);
        if (row.window || row.exitCode < 0) {
            EXPECT_EQ(cl.error, "");
            continue;
        }
        std::ostringstream out, err;
        EXPECT_EQ(RunHeadless(cl, out, err), row.exitCode);
        const std::string said = row.exitCode == 0 ? out.str() : err.str();
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
        if (row.exitCode == 2) {
            EXPECT_NE(err.str().find("Usage: tarnwick"), std::string::npos);
            EXPECT_EQ(out.str(), "");
        }
    }
}

}  // namespace
