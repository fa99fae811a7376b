#pragma once

#include <memory>
#include <string>

#include "InteractionStore.h"
#include "Node.h"
#include "ReviewEngine.h"
#include "VerdictKeeper.h"

class IUserPrompt;
struct PathwayGrid;

// The one document: the interaction data, the recordsets and the graph.
class CTarnwickDoc : public CInteractionStore {
public:
    explicit CTarnwickDoc(const std::string& connect = kDefaultConnect);
    ~CTarnwickDoc() override;

    // A fresh start-up graph in m_pGraph; false when the table could not be
    // read (the graph is then empty, GetDataError() says why).
    bool BuildStartupPathway();

    // A fresh relation-node graph (the sphere view's) in m_pGraph, with the
    // kept verdicts when keeping is on.
    bool BuildSpherePathway();

    // The save command: ask for a "*.bb" file and write the current graph
    // with the box layout's grid; failures are shown.
    void OnSavePathway(IUserPrompt& prompt, const PathwayGrid& grid);

    // Rebuilds the start-up graph and writes it as a Graphviz file.
    bool ExportDot(const std::string& path, std::string& error);
    // The export command: rebuild, ask for the file, write, report failures.
    void OnExportDot(IUserPrompt& prompt);

    std::unique_ptr<CNode> m_pGraph;
    // Review counters and what the review commands keep between commands.
    ReviewSession m_review;
    // Review verdicts kept in the data source (off unless asked for).
    CVerdictKeeper m_verdicts;
};
