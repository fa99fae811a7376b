#pragma once

#include <string>
#include <vector>

#include "MoleculeRecord.h"

class CEditHistory;
class CNode;
class IEditScene;
class IUserPrompt;

// The curator's corrections of the pathway: rename, new molecule, set
// relation, delete and the specific-information form. Each works on the
// current name of the representation it is given, changes the graph and
// asks that representation to redraw what changed. A refused input shows
// its message and the command starts again with a fresh dialog.
class CEditCommands {
public:
    static constexpr const char* kReselectMolecule = "Please deselect molecule and select again";
    static constexpr const char* kReselect = "Please deselect then select again";
    static constexpr const char* kOnlyRealMolecule = "Only real molecule name can be changed";
    static constexpr const char* kRenameExists = "New name already exists.";
    static constexpr const char* kNewNameExists = "New name already exists";
    static constexpr const char* kNoSuchNode = "It does not exists";
    static constexpr const char* kDeleteOutgoing = "If you delete molecule itself, you muse delete outgoing edge";
    static constexpr const char* kDeleteIncoming = "If you delete molecule itself, you must delete incoming edge";
    static constexpr const char* kDigitFirst = "이름의 첫 시작은 숫자가 될 수 없습니다.";
    static constexpr const char* kNoSpace = "공백이 있으면 안 됩니다";
    static constexpr const char* kNoPlus = "+ 가 있으면 안 됩니다";

    // `history` may be null (no undo).
    CEditCommands(CNode& graph, IUserPrompt& prompt, IEditScene& scene, CEditHistory* history)
        : m_graph(graph), m_prompt(prompt), m_scene(scene), m_history(history) {}

    // Each returns whether the graph changed.
    bool OnRename();
    bool OnNewMolecule();
    bool OnSetRelation();
    void OnSpecificInformation() { RunSpecificInformation(m_prompt); }
    // The form needs no graph: what is entered is discarded.
    static void RunSpecificInformation(IUserPrompt& prompt);
    bool OnDeleteMolecule();

    // 1 when `name` may name a molecule, else -1 after saying why.
    int ValidateName(const std::string& name);
    // Renames the molecule and, in each relation node that has it as an
    // end, that end's part of the node's name. 1 on success, 0 when the
    // scene refused a rename (the renames made before stay).
    int RenameMolecule(const std::string& oldName, const std::string& newName);
    // Names of the nodes the link texts reach whose names contain `name`,
    // outgoing links first, in link order (a node reached twice twice).
    std::vector<std::string> CollectLinkedNames(const std::string& out, const std::string& in,
                                                const std::string& name) const;

private:
    void SetNodeName(NodePos at, const std::string& name);

    CNode& m_graph;
    IUserPrompt& m_prompt;
    IEditScene& m_scene;
    CEditHistory* m_history;
};

// The node a curator means by a name: where the name index puts it, else
// the first node of a circle bearing it, else any node bearing it.
bool FindNodeByName(const CNode& graph, const std::string& name, NodePos& at);

// A relation node's name after its end `at` was renamed from `oldName` to
// `newName`: formed again ("%s:%s:%d" or "%s-%s" of its ends' names, in either order) when
// it is that format of the names before; otherwise unchanged.
std::string RenamedRelationName(const CNode& graph, const MoleculeRecord& relation, NodePos at,
                                const std::string& oldName, const std::string& newName);
