#include "CommandLine.h"

#include <algorithm>
#include <iostream>
#include <set>
#include <utility>

#include "EditScript.h"
#include "FileWriter.h"
#include "GraphvizRun.h"
#include "GridLayout.h"
#include "HeadlessReview.h"
#include "PathwayFile.h"
#include "PathwayGridOfLayout.h"
#include "SphereLayout.h"
#include "TarnwickDoc.h"

namespace {

// The edit script's text; an empty text without a script.
bool ReadEditScript(const std::string& editScriptPath, std::string& script, std::string& error) {
    script.clear();
    if (editScriptPath.empty()) {
        return true;
    }
    // An empty file is an empty script; only a failed read (a folder, an
    // unreadable file) is refused.
    std::string reason;
    if (!ReadTextFile(editScriptPath, script, reason)) {
        error = editScriptPath + ": cannot read the edit script";
        return false;
    }
    return true;
}

bool ApplyEdits(CNode& graph, const std::string& editScriptPath, const std::string& script, std::string& error) {
    int applied = 0;
    if (!ApplyEditScript(graph, script, error, applied)) {
        error = editScriptPath + ": " + error;
        return false;
    }
    return true;
}

// What a curator gets by starting the program, building the sphere view and
// saving: the start-up load lays out the box grid, the file then holds the
// relation-node graph with each circle's cell in that grid.
// With an edit script, its edits are made before the file is written, and
// a refused edit writes nothing.
bool SaveStartupPathway(CTarnwickDoc& doc, const std::string& path, const std::string& editScriptPath,
                        std::string& error) {
    std::string script;
    if (!ReadEditScript(editScriptPath, script, error)) {
        return false;
    }
    if (!doc.BuildStartupPathway()) {
        error = doc.GetDataError();
        return false;
    }
    CGridLayout startupLayout;
    startupLayout.Layout(doc.m_pGraph->m_circle_count);
    if (!doc.BuildSpherePathway()) {
        error = doc.GetDataError();
        return false;
    }
    return ApplyEdits(*doc.m_pGraph, editScriptPath, script, error) &&
           SavePathway(*doc.m_pGraph, path, PathwayGridOf(startupLayout), error);
}

// An opened graph, edited by the script, saved as read: without a box layout.
bool SaveOpenedPathway(CTarnwickDoc& doc, const std::string& path, const std::string& editScriptPath,
                       std::string& error) {
    std::string script;
    return ReadEditScript(editScriptPath, script, error) &&
           ApplyEdits(*doc.m_pGraph, editScriptPath, script, error) &&
           SavePathway(*doc.m_pGraph, path, PathwayGrid(), error);
}

// The cell map the sphere view command lays out, as DumpGrid writes it.
bool DumpSphereGrid(CTarnwickDoc& doc, const std::string& path, std::string& error) {
    if (!doc.BuildSpherePathway()) {
        error = doc.GetDataError();
        return false;
    }
    CGridLayout grid;
    LayOutSphere(*doc.m_pGraph, doc.m_pGraph->m_circle_count, grid);
    if (!grid.DumpGrid(path)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

const std::vector<CommandLineOption>& CommandLineOptions() {
    static const std::vector<CommandLineOption> options = {
        {"--connect", &CommandLine::connect, nullptr, "STRING",
         "ODBC connection string of the interaction data (default: DSN=InteractionDB)"},
        {"--export-dot", &CommandLine::exportDotPath, nullptr, "OUT",
         "write the start-up graph as a Graphviz file and exit"},
        {"--save-pathway", &CommandLine::savePathwayPath, nullptr, "OUT",
         "build the relation-node graph and save it as a pathway file, then exit"},
        {"--startup", nullptr, &CommandLine::startup, nullptr,
         "with --save-pathway: save the start-up graph with the start-up box layout"},
        {"--open-pathway", &CommandLine::openPathwayPath, nullptr, "IN",
         "read the graph from a pathway file instead of the data source"},
        {"--dump-sphere-grid", &CommandLine::dumpSphereGridPath, nullptr, "OUT",
         "lay the relation-node graph out on the sphere and write its cell map, then exit"},
        {"--edit-script", &CommandLine::editScriptPath, nullptr, "FILE",
         "apply the edits of FILE (one per line) before --save-pathway writes"},
        {"--statistics", &CommandLine::statisticsPath, nullptr, "OUT",
         "run the statistics of the review filters and write its two lines, then exit"},
        {"--filter", &CommandLine::filterName, nullptr, "NAME OUT",
         "run one review filter and write the ids it handled, then exit"},
        {"--layout", &CommandLine::layoutEngine, nullptr, "ENGINE",
         "lay the start-up graph out with Graphviz (dot, neato, fdp, sfdp or auto); needs --positions-out"},
        {"--positions-out", &CommandLine::positionsOutPath, nullptr, "FILE",
         "with --layout: write the node positions (yeast.graph.txt's format), then exit"},
        {"--export-image", &CommandLine::exportImagePath, nullptr, "OUT.png",
         "draw the start-up box view as a PNG picture and exit; needs an X display (xvfb-run gives one)"},
        {"--size", &CommandLine::imageSize, nullptr, "WxH",
         "with --export-image: the picture's size in pixels (default 1024x768, at most 8192 a side)"},
        {"--view", &CommandLine::imageView, nullptr, "box|sphere",
         "with --export-image: draw the box view (default) or the sphere view (radii 300 and 30)"},
        {"--help", nullptr, &CommandLine::help, nullptr, "show this text and exit"},
        {"--version", nullptr, &CommandLine::version, nullptr, "show the version and exit"},
    };
    return options;
}

std::string UsageText() {
    std::string text =
        "Usage: tarnwick [--connect STRING] [OPTION]...\n"
        "Without an output option the window opens; arguments for Qt itself\n"
        "(-platform NAME, -style NAME, ...) pass to the window.\n\n";
    for (const CommandLineOption& option : CommandLineOptions()) {
        std::string left = std::string("  ") + option.name;
        if (option.placeholder) {
            left += std::string(" ") + option.placeholder;
        }
        left.resize(std::max<size_t>(left.size() + 2, 28), ' ');
        text += left + option.help + "\n";
    }
    return text;
}

std::string VersionText() { return "Tarnwick 1.0\n"; }

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine cl;
    std::set<std::string> seen;
    auto refuse = [&](const std::string& message) {
        if (cl.error.empty()) {
            cl.error = message;
        }
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.compare(0, 2, "--") != 0) {
            cl.rest.push_back(arg);  // the window system's, or refused below
            continue;
        }
        const std::string name = arg.substr(0, arg.find('='));
        const auto& table = CommandLineOptions();
        const auto row = std::find_if(table.begin(), table.end(),
                                      [&](const CommandLineOption& o) { return name == o.name; });
        if (row == table.end()) {
            refuse("unknown option " + name);
            continue;
        }
        if (!seen.insert(name).second) {
            refuse("option " + name + " is given twice");
        }
        if (name != arg) {
            refuse(row->value ? "option " + name + " takes its value as the next argument: " + name + " " +
                                    row->placeholder
                              : "option " + name + " takes no value");
            continue;
        }
        if (row->flag) {
            cl.*(row->flag) = true;
            continue;
        }
        // A following option means the value was left out.
        if (i + 1 >= argc || std::string(argv[i + 1]).compare(0, 2, "--") == 0) {
            refuse("option " + name + " needs a value (" + row->placeholder + ")");
            continue;
        }
        const std::string value = argv[++i];
        if (value.empty()) {
            refuse("option " + name + " needs a value (" + row->placeholder + "), not an empty one");
            continue;
        }
        cl.*(row->value) = value;
        if (row->value == &CommandLine::filterName) {
            // --filter is the one option with two values.
            if (i + 1 >= argc || std::string(argv[i + 1]).compare(0, 2, "--") == 0 || !*argv[i + 1]) {
                refuse("option --filter needs two values (NAME OUT)");
                continue;
            }
            cl.filterOutPath = argv[++i];
        }
    }
    if (cl.error.empty() && cl.IsHeadless() && !cl.rest.empty()) {
        refuse("unexpected argument " + cl.rest.front());
    }
    if (cl.startup && cl.savePathwayPath.empty() && cl.error.empty()) {
        cl.error = "option --startup needs --save-pathway";
    }
    if (!cl.editScriptPath.empty() && cl.error.empty()) {
        if (cl.savePathwayPath.empty()) {
            cl.error = "option --edit-script needs --save-pathway OUT";
        } else if (cl.startup) {
            cl.error = "option --edit-script edits the relation-node graph, not the --startup one";
        }
    }
    if (cl.error.empty() && cl.layoutEngine.empty() != cl.positionsOutPath.empty()) {
        cl.error = cl.layoutEngine.empty() ? "option --positions-out needs --layout ENGINE"
                                           : "option --layout needs --positions-out FILE";
    }
    if (cl.error.empty() && !cl.layoutEngine.empty() && cl.layoutEngine != "auto" &&
        !IsLayoutEngine(cl.layoutEngine)) {
        cl.error = "unknown layout engine " + cl.layoutEngine + " (dot, neato, fdp, sfdp or auto)";
    }
    if (cl.error.empty() && cl.exportImagePath.empty() && (!cl.imageSize.empty() || !cl.imageView.empty())) {
        cl.error = std::string("option ") + (cl.imageSize.empty() ? "--view" : "--size") + " needs --export-image";
    }
    if (cl.error.empty() && !cl.exportImagePath.empty()) {
        int width = 0, height = 0;
        if (!ParseImageSize(cl.imageSize, width, height)) {
            cl.error = "option --size takes WxH, each 1 to 8192 pixels, not " + cl.imageSize;
        } else if (!cl.imageView.empty() && cl.imageView != "box" && cl.imageView != "sphere") {
            cl.error = "option --view takes box or sphere, not " + cl.imageView;
        } else if (!cl.exportDotPath.empty() || !cl.savePathwayPath.empty() || !cl.openPathwayPath.empty() ||
                   !cl.dumpSphereGridPath.empty() || !cl.statisticsPath.empty() || !cl.filterName.empty() ||
                   !cl.layoutEngine.empty()) {
            cl.error = "option --export-image goes with no other output option";
        }
    }
    return cl;
}

bool ParseImageSize(const std::string& text, int& width, int& height) {
    if (text.empty()) {
        width = 1024;
        height = 768;
        return true;
    }
    const size_t x = text.find('x');
    auto side = [](const std::string& digits, int& value) {
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        value = std::stoi(digits);
        return value >= 1 && value <= 8192;
    };
    return x != std::string::npos && side(text.substr(0, x), width) && side(text.substr(x + 1), height);
}

int RunHeadless(const CommandLine& options, std::ostream& out, std::ostream& err) {
    if (!options.error.empty()) {
        err << "tarnwick: " << options.error << "\n" << UsageText();
        return 2;
    }
    if (options.help) {
        out << UsageText();
        return 0;
    }
    if (options.version) {
        out << VersionText();
        return 0;
    }
    if (!options.exportImagePath.empty()) {
        err << "tarnwick: --export-image needs the program built with its window\n";
        return 2;
    }
    CTarnwickDoc doc(options.connect);
    std::string error;
    if (!options.exportDotPath.empty()) {
        if (!doc.ExportDot(options.exportDotPath, error)) {
            err << "tarnwick: " << error << "\n";
            return 1;
        }
        out << "Wrote " << options.exportDotPath << " (" << doc.m_pGraph->m_circle_count - 1 << " molecules)\n";
    }
    if (!options.layoutEngine.empty()) {
        LayoutPlacement placement;
        if (!LayOutStartupPathway(doc, options.layoutEngine, placement, error) ||
            !WriteTextFile(options.positionsOutPath, FormatNodePositions(*doc.m_pGraph), error)) {
            err << "tarnwick: " << error << "\n";
            return 1;
        }
        out << "Wrote " << options.positionsOutPath << " (" << placement.placed << " of " << placement.molecules
            << " molecules placed)\n";
    }
    if (!options.dumpSphereGridPath.empty()) {
        if (!DumpSphereGrid(doc, options.dumpSphereGridPath, error)) {
            err << "tarnwick: " << error << "\n";
            return 1;
        }
        out << "Wrote " << options.dumpSphereGridPath << " (" << doc.m_pGraph->m_circle_count - 1 << " circles)\n";
    }
    if (!options.openPathwayPath.empty()) {
        if (!doc.OpenPathway(options.openPathwayPath, error)) {
            err << "tarnwick: " << error << "\n";
            return 1;
        }
        out << "Read " << options.openPathwayPath << " (" << doc.m_pGraph->m_lstCircles.size() << " circles)\n";
    }
    if (!options.savePathwayPath.empty()) {
        bool saved = false;
        if (!options.openPathwayPath.empty()) {
            saved = SaveOpenedPathway(doc, options.savePathwayPath, options.editScriptPath, error);
        } else if (options.startup) {
            saved = doc.SaveStartupLoadPathway(options.savePathwayPath, error);
        } else {
            saved = SaveStartupPathway(doc, options.savePathwayPath, options.editScriptPath, error);
        }
        if (!saved) {
            err << "tarnwick: " << error << "\n";
            return 1;
        }
        out << "Wrote " << options.savePathwayPath << " (" << doc.m_pGraph->m_lstCircles.size() << " circles)\n";
    }
    if (!options.statisticsPath.empty()) {
        if (!WriteReviewStatistics(doc, options.statisticsPath, error)) {
            err << "tarnwick: " << error << "\n";
            return 1;
        }
        out << "Wrote " << options.statisticsPath << "\n";
    }
    if (!options.filterName.empty()) {
        if (!WriteFilterHits(doc, options.filterName, options.filterOutPath, error)) {
            err << "tarnwick: " << error << "\n";
            return 1;
        }
        out << "Wrote " << options.filterOutPath << "\n";
    }
    if (doc.GetLineBreakRepairs() > 0) {
        err << "tarnwick: " << doc.GetLineBreakRepairs()
            << " rows had line breaks in member names; replaced by _\n";
    }
    return 0;
}

int RunHeadless(const CommandLine& options) { return RunHeadless(options, std::cout, std::cerr); }
