#pragma once

#include <memory>
#include <string>

#include "InteractionStore.h"
#include "Node.h"

class IUserPrompt;

// The one document: the interaction data, the recordsets and the graph.
class CTarnwickDoc : public CInteractionStore {
public:
    explicit CTarnwickDoc(const std::string& connect = kDefaultConnect);
    ~CTarnwickDoc() override;

    // A fresh start-up graph in m_pGraph; false when the table could not be
    // read (the graph is then empty, GetDataError() says why).
    bool BuildStartupPathway();

    // Rebuilds the start-up graph and writes it as a Graphviz file.
    bool ExportDot(const std::string& path, std::string& error);
    // The export command: rebuild, ask for the file, write, report failures.
    void OnExportDot(IUserPrompt& prompt);

    std::unique_ptr<CNode> m_pGraph;
};
