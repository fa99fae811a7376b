#pragma once

#include <memory>
#include <string>

#include "EditHistory.h"
#include "InteractionStore.h"
#include "Node.h"
#include "NodePositions.h"
#include "RelationNodeNames.h"
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

    // A fresh relation-node graph (the sphere view's) in m_pGraph. False when
    // the table could not be read or names grow past their limits: the
    // current graph and interactions stay, GetDataError() says why. The kept
    // verdicts are applied when keeping is on.
    bool BuildSpherePathway();

    // What the save command writes right after the program opens: the
    // start-up graph, placed from the node-position file and laid out on the
    // box grid. The graph stays in m_pGraph.
    bool SaveStartupLoadPathway(const std::string& path, std::string& error,
                                const std::string& positionFile = kNodePositionFile);
    // Reads a pathway file into a new graph and swaps it in: the name index
    // comes from the file's nodes, and each interaction record points at
    // the relation node the sphere-view build names for it (not built when
    // the file has none). On failure nothing changes and `error` names the
    // file, the line and what was expected.
    bool OpenPathway(const std::string& path, std::string& error);

    // The save command: ask for a "*.bb" file and write the current graph
    // with the box layout's grid; failures are shown. Returns what was
    // written where, empty when nothing was.
    std::string OnSavePathway(IUserPrompt& prompt, const PathwayGrid& grid);

    // Rebuilds the start-up graph and writes it as a Graphviz file (the
    // headless export: later options work on that graph).
    bool ExportDot(const std::string& path, std::string& error);
    // The export command: build the start-up graph afresh, ask for the
    // file, write, report failures. The build is the export's own: the
    // document's graph and interaction records, which the view on screen
    // shows and its commands use, stay. Returns what was written where,
    // empty when nothing was.
    std::string OnExportDot(IUserPrompt& prompt);

    // Every later read and kept verdict goes to this source.
    void UseDataSource(const std::string& connect) {
        SetConnect(connect);
        m_verdicts.SetConnect(connect);
    }

    std::unique_ptr<CNode> m_pGraph;
    // Grid sizes in the header of the file opened last; checked, not used
    // for placement (they are the writer's box layout).
    int m_nLoadedHor = 1;
    int m_nLoadedVer = 1;
    // Review counters and what the review commands keep between commands.
    ReviewSession m_review;
    // Review verdicts kept in the data source (off unless asked for).
    CVerdictKeeper m_verdicts;
    // Undo and redo of the edits and the review states set on m_pGraph.
    CEditHistory m_history;
    // The relation-node names of the last sphere-view build, for opening.
    CRelationNodeNames m_relationNames;

private:
    // The start-up graph over `fresh`, a store of the same source; null
    // with the reason when the table cannot be read.
    std::unique_ptr<CNode> BuildExportGraph(CInteractionStore& fresh, std::string& error) const;
};
