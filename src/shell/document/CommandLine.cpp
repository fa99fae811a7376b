#include "CommandLine.h"

#include <iostream>

#include "GridLayout.h"
#include "HeadlessReview.h"
#include "PathwayFile.h"
#include "PathwayGridOfLayout.h"
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
        } else if (arg == "--statistics") {
            value(cl.statisticsPath);
        } else if (arg == "--filter") {
            value(cl.filterName);
            if (cl.error.empty()) {
                value(cl.filterOutPath);
            }
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
    if (!options.savePathwayPath.empty()) {
        if (!SaveStartupPathway(doc, options.savePathwayPath, error)) {
            std::cerr << "tarnwick: " << error << "\n";
            return 1;
        }
        std::cout << "Wrote " << options.savePathwayPath << " (" << doc.m_pGraph->m_circle_count - 1
                  << " circles)\n";
    }
    if (!options.statisticsPath.empty()) {
        if (!WriteReviewStatistics(doc, options.statisticsPath, error)) {
            std::cerr << "tarnwick: " << error << "\n";
            return 1;
        }
        std::cout << "Wrote " << options.statisticsPath << "\n";
    }
    if (!options.filterName.empty()) {
        if (!WriteFilterHits(doc, options.filterName, options.filterOutPath, error)) {
            std::cerr << "tarnwick: " << error << "\n";
            return 1;
        }
        std::cout << "Wrote " << options.filterOutPath << "\n";
    }
    return 0;
}
