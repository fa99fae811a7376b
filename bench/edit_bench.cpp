// tarnwick_edit_bench: what an edit costs in the sphere view, against one
// pass over all of its edges.
//   edit_edge_pass_seconds  one full UpdateEdgeHighlight pass over every edge
//   rename_seconds          renaming the molecule that ends the relation
//                           nodes nearest to 50 in number, with its scene
//                           update, then one look-up through each index
//                           (node names, edge highlight), which rebuilds them
//   delete_seconds          deleting that molecule (itself, incoming and
//                           outgoing links) with its circle rebuilds
// Each figure is the median of --reps runs after --warmups unmeasured ones;
// every run starts from the graph as built (undo between runs).

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <Inventor/SbViewportRegion.h>

#include "BenchHost.h"
#include "BenchTiming.h"
#include "EditCommands.h"
#include "EditHistory.h"
#include "RepresentationEditScene.h"
#include "InteractionStore.h"
#include "Node.h"
#include "SceneClasses.h"
#include "SphereBuild.h"
#include "SphereVision.h"
#include "UserPrompt.h"

namespace {

// Answers each dialog once with the values given.
class BenchPrompt : public IUserPrompt {
public:
    void ShowMessage(const std::string& text) override { m_lastMessage = text; }
    Answer Ask(const std::string&, bool) override { return Answer::No; }
    bool ChooseFile(const FileChoice&, std::string&) override { return false; }
    bool RunRename(CDlgRename& dlg) override {
        dlg.m_strNewName = m_newName;
        return true;
    }
    bool RunDelete(CDlgDelete& /*dlg*/) override { return true; }  // Yes three times

    std::string m_newName;
    std::string m_lastMessage;
};

// The molecule that ends a number of relation nodes nearest to 50.
NodePos PickMolecule(const CNode& graph, int& ends) {
    std::vector<std::vector<int>> count(graph.m_lstCircles.size() + 1);
    for (const CCircleData& circle : graph.m_lstCircles) {
        count[static_cast<size_t>(circle.CircleNum)].assign(circle.m_lstMolecules.size(), 0);
    }
    for (const CCircleData& circle : graph.m_lstCircles) {
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            for (const NodePos& end : {m.left, m.right}) {
                if (m.size == 0 && graph.GetMolecule(end.circle, end.index)) {
                    ++count[static_cast<size_t>(end.circle)][static_cast<size_t>(end.index)];
                }
            }
        }
    }
    NodePos best{0, 0};
    ends = -1;
    for (const CCircleData& circle : graph.m_lstCircles) {
        for (size_t k = 0; k < circle.m_lstMolecules.size(); ++k) {
            const int n = count[static_cast<size_t>(circle.CircleNum)][k];
            if (circle.m_lstMolecules[k].size == 1 && std::abs(n - 50) < std::abs(ends - 50)) {
                ends = n;
                best = {circle.CircleNum, static_cast<int>(k)};
            }
        }
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    InitSceneClasses();
    BenchHost host;
    CInteractionStore store(options.connect);
    bool loaded = false;
    std::string error;
    std::unique_ptr<CNode> graph = BuildSphereGraph(store, loaded, error);
    if (!loaded || !graph) {
        std::fprintf(stderr, "edit bench: %s\n", error.empty() ? store.GetDataError().c_str() : error.c_str());
        return 1;
    }
    auto sphere = std::make_unique<CSphereVision>(store, graph, host, 300, 30, graph->m_circle_count);
    sphere->Layout();
    sphere->BuildScene();
    int ends = 0;
    const NodePos at = PickMolecule(*graph, ends);
    const std::string name = graph->GetMoleculeName(at.circle, at.index);
    std::fprintf(stderr, "edit bench: %d circles, %zu edges; %s at %d %d ends %d relation nodes\n",
                 graph->m_circle_count - 1, sphere->CountHighlightedEdges(), name.c_str(), at.circle, at.index, ends);

    CRepresentationEditScene scene(*sphere);
    BenchPrompt prompt;
    CEditHistory history;
    CEditCommands commands(*graph, prompt, scene, &history);
    std::vector<double> passes, renames, deletes;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        const bool measured = run >= options.warmups;

        // The pass alone: the edge index an earlier undo let go is built first.
        sphere->CountHighlightedEdges();
        twbench::Stopwatch pass;
        sphere->UpdateEdgeHighlight(2);
        const double passSeconds = pass.Seconds();

        prompt.m_newName = name + "_renamed";
        scene.SetCurrentName(name);
        twbench::Stopwatch rename;
        commands.OnRename();
        const bool indexed = sphere->IsNameSelected(prompt.m_newName) || sphere->CountHighlightedEdges() > 0;
        const double renameSeconds = rename.Seconds();
        if (graph->GetMoleculeName(at.circle, at.index) != prompt.m_newName || !indexed) {
            std::fprintf(stderr, "edit bench: the rename did not happen (%s)\n", prompt.m_lastMessage.c_str());
            return 1;
        }
        history.Undo(graph.get(), scene);

        scene.SetCurrentName(name);
        twbench::Stopwatch erase;
        commands.OnDeleteMolecule();
        const double deleteSeconds = erase.Seconds();
        if (run == 0) {
            // How much the deletion had to rebuild: its neighbourhood.
            size_t nodes = 0;
            const std::vector<int> touched = history.UndoCircles();
            for (int c : touched) {
                nodes += graph->GetCircle(c)->m_lstMolecules.size();
            }
            std::fprintf(stderr, "edit bench: the deletion touched %zu circles holding %zu nodes\n", touched.size(),
                         nodes);
        }
        if (graph->GetMoleculeName(at.circle, at.index) == name) {
            std::fprintf(stderr, "edit bench: the deletion did not happen\n");
            return 1;
        }
        history.Undo(graph.get(), scene);
        if (graph->GetMoleculeName(at.circle, at.index) != name) {
            std::fprintf(stderr, "edit bench: undo did not bring the molecule back\n");
            return 1;
        }

        if (measured) {
            passes.push_back(passSeconds);
            renames.push_back(renameSeconds);
            deletes.push_back(deleteSeconds);
        }
    }
    const double pass = twbench::Median(passes);
    twbench::PrintFigure("edit_edge_pass_seconds", pass);
    twbench::PrintFigure("rename_seconds", twbench::Median(renames));
    twbench::PrintFigure("delete_seconds", twbench::Median(deletes));
    return 0;
}
