#include "CommandLine.h"

#include <iostream>

#include "GridLayout.h"
#include "PathwayFile.h"
#include "PathwayGridOfLayout.h"
#include "SphereLayout.h"
#include "TarnwickDoc.h"

namespace {

// What a curator gets by starting the program, building the sphere view and
// saving: the start-up load lays out the box grid, the file then holds the
// relation-node graph with each circle's cell in that grid.
bool SaveStartupPathway(CTarnwickDoc& doc, const std::string& path, std::string& error) {
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
    return SavePathway(*doc.m_pGraph, path, PathwayGridOf(startupLayout), error);
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
        } else if (arg == "--save-pathway") {
            value(cl.savePathwayPath);
        } else if (arg == "--dump-sphere-grid") {
            value(cl.dumpSphereGridPath);
        } else if (arg == "--open-pathway") {
            value(cl.openPathwayPath);
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
    if (!options.dumpSphereGridPath.empty()) {
        if (!DumpSphereGrid(doc, options.dumpSphereGridPath, error)) {
            std::cerr << "tarnwick: " << error << "\n";
            return 1;
        }
        std::cout << "Wrote " << options.dumpSphereGridPath << " (" << doc.m_pGraph->m_circle_count - 1
                  << " circles)\n";
    }
    if (!options.openPathwayPath.empty()) {
        if (!doc.OpenPathway(options.openPathwayPath, error)) {
            std::cerr << "tarnwick: " << error << "\n";
            return 1;
        }
        std::cout << "Read " << options.openPathwayPath << " (" << doc.m_pGraph->m_lstCircles.size()
                  << " circles)\n";
    }
    if (!options.savePathwayPath.empty()) {
        // An opened graph is saved as read, without a box layout.
        const bool saved = options.openPathwayPath.empty()
                               ? SaveStartupPathway(doc, options.savePathwayPath, error)
                               : SavePathway(*doc.m_pGraph, options.savePathwayPath, PathwayGrid(), error);
        if (!saved) {
            std::cerr << "tarnwick: " << error << "\n";
            return 1;
        }
        std::cout << "Wrote " << options.savePathwayPath << " (" << doc.m_pGraph->m_lstCircles.size()
                  << " circles)\n";
    }
    return 0;
}
