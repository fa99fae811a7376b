#include "EditCommands.h"

#include <cctype>
#include <climits>

#include "EditDialogs.h"
#include "EditHistory.h"
#include "EditScene.h"
#include "LinkText.h"
#include "Node.h"
#include "UserPrompt.h"

bool ParseDialogInt(const std::string& text, int& value) {
    size_t pos = 0;
    if (!ScanInt(text, pos, value)) {
        return false;
    }
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) {
        ++pos;
    }
    // Out-of-range digits are refused rather than clamped.
    return pos == text.size() && text.find_first_of("0123456789") != std::string::npos && value != INT_MAX &&
           value != INT_MIN;
}

bool FindNodeByName(const CNode& graph, const std::string& name, NodePos& at) {
    int c = 0, i = 0;
    if (ParsePosition(graph.LookUp(name), c, i) && graph.GetMoleculeName(c, i) == name) {
        at = {c, i};
        return true;
    }
    graph.FindMoleculePosition(name, c, i);
    if (c > 0) {
        at = {c, i};
        return true;
    }
    for (const CCircleData& circle : graph.m_lstCircles) {
        for (size_t k = 0; k < circle.m_lstMolecules.size(); ++k) {
            if (circle.m_lstMolecules[k].name == name) {
                at = {circle.CircleNum, static_cast<int>(k)};
                return true;
            }
        }
    }
    return false;
}

namespace {

// Whether a node bears `name` already. A reference name ("r__") is looked
// up among the interactions, yet the start-up graph holds molecules of such
// names, which the name index knows.
bool IsNameTaken(const CNode& graph, const std::string& name) {
    return !graph.LookUp(name).empty() || (name.compare(0, 3, "r__") == 0 && !graph.LookUpName(name, 0).empty());
}

std::string EndName(const CNode& graph, NodePos end, NodePos at, const std::string& atName) {
    return end == at ? atName : graph.GetMoleculeName(end.circle, end.index);
}

}  // namespace

std::string RenamedRelationName(const CNode& graph, const MoleculeRecord& relation, NodePos at,
                                const std::string& oldName, const std::string& newName) {
    const std::string leftOld = EndName(graph, relation.left, at, oldName);
    const std::string rightOld = EndName(graph, relation.right, at, oldName);
    const std::string leftNew = EndName(graph, relation.left, at, newName);
    const std::string rightNew = EndName(graph, relation.right, at, newName);
    const std::string kind = std::to_string(relation.relation);
    // A molecule attached by a directed kind is the left end but comes
    // second in the name, so both orders are tried.
    const std::string forms[][2] = {
        {leftOld + ":" + rightOld + ":" + kind, leftNew + ":" + rightNew + ":" + kind},
        {leftOld + "-" + rightOld, leftNew + "-" + rightNew},
        {rightOld + ":" + leftOld + ":" + kind, rightNew + ":" + leftNew + ":" + kind},
        {rightOld + "-" + leftOld, rightNew + "-" + leftNew},
    };
    for (const auto& form : forms) {
        if (relation.name == form[0]) {
            return form[1];
        }
    }
    return relation.name;
}

int CEditCommands::ValidateName(const std::string& name) {
    const char* refusal = nullptr;
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
        refusal = kDigitFirst;
    } else if (name.find(' ') != std::string::npos) {
        refusal = kNoSpace;
    } else if (name.find('+') != std::string::npos) {
        refusal = kNoPlus;
    }
    if (refusal) {
        m_prompt.ShowMessage(refusal);
        return -1;
    }
    return 1;
}

std::vector<std::string> CEditCommands::CollectLinkedNames(const std::string& out, const std::string& in,
                                                           const std::string& name) const {
    std::vector<std::string> names;
    auto add = [&](int c, int i) {
        const MoleculeRecord* node = m_graph.GetMolecule(c, i);
        if (node && node->name.find(name) != std::string::npos) {
            names.push_back(node->name);
        }
    };
    for (const LinkEntry& e : ParseLinkEntries(out)) {
        add(e.circle, e.index);
    }
    for (const auto& [c, i] : ParseBackLinks(in)) {
        add(c, i);
    }
    return names;
}

void CEditCommands::SetNodeName(NodePos at, const std::string& name) {
    MoleculeRecord* node = m_graph.GetMolecule(at.circle, at.index);
    // Only this node changes: a relation node in a hub's circle keeps the
    // journal and the indexes from reading the whole circle.
    m_graph.TouchNode(at.circle, at.index);
    const std::string oldName = node->name;
    node->name = name;
    m_graph.RenameRegisteredName(oldName, at, name);
}

int CEditCommands::RenameMolecule(const std::string& oldName, const std::string& newName) {
    NodePos at;
    if (!FindNodeByName(m_graph, oldName, at)) {
        return 0;
    }
    // Relation nodes with this molecule as an end. Incoming lists miss the
    // nodes that are not first in their circle, so the ends are read.
    std::vector<NodePos> relations;
    for (const CCircleData& circle : m_graph.m_lstCircles) {
        for (size_t k = 0; k < circle.m_lstMolecules.size(); ++k) {
            const MoleculeRecord& m = circle.m_lstMolecules[k];
            if (m.size == 0 && (m.left == at || m.right == at)) {
                relations.push_back({circle.CircleNum, static_cast<int>(k)});
            }
        }
    }
    std::vector<std::pair<std::string, std::string>> renames{{oldName, newName}};
    for (NodePos r : relations) {
        const MoleculeRecord& rel = *m_graph.GetMolecule(r.circle, r.index);
        renames.emplace_back(rel.name, RenamedRelationName(m_graph, rel, at, oldName, newName));
    }
    for (size_t k = 0; k < renames.size(); ++k) {
        const auto& [from, to] = renames[k];
        if (from == to) {
            continue;
        }
        const NodePos node = k == 0 ? at : relations[k - 1];
        // Labels of the node beside other molecules' labels: undo and redo
        // build those circles again.
        const std::vector<int> labelCircles = m_scene.LabelCirclesOf(from, node.circle);
        for (int c : labelCircles) {
            if (c != node.circle) {
                m_graph.TouchCircle(c);
            }
        }
        // A name borne elsewhere too is drawn where its first bearer stands:
        // the nodes bearing either name move with the change.
        std::vector<NodePos> bearers = m_graph.BearersOf(from);
        const std::vector<NodePos> taken = m_graph.BearersOf(to);
        const bool shared = bearers.size() > 1 || !taken.empty();
        bearers.insert(bearers.end(), taken.begin(), taken.end());
        if (!m_scene.RenameInScene(from, to, node.circle, labelCircles)) {
            return 0;
        }
        SetNodeName(node, to);
        if (shared && !m_graph.RebuildBearerCircles(bearers, m_scene)) {
            return 0;
        }
    }
    return 1;
}

bool CEditCommands::OnRename() {
    for (;;) {
        const std::string name = m_scene.GetCurrentName();
        if (name.empty()) {
            m_prompt.ShowMessage(kReselectMolecule);
            return false;
        }
        NodePos at;
        if (!FindNodeByName(m_graph, name, at)) {
            return false;
        }
        if (m_graph.GetMolecule(at.circle, at.index)->size == 0) {
            m_prompt.ShowMessage(kOnlyRealMolecule);
            return false;
        }
        CDlgRename dlg;
        dlg.m_strOldName = name;
        if (!m_prompt.RunRename(dlg)) {
            return false;
        }
        if (ValidateName(dlg.m_strNewName) < 1) {
            continue;
        }
        if (IsNameTaken(m_graph, dlg.m_strNewName)) {
            m_prompt.ShowMessage(kRenameExists);
            continue;
        }
        CEditScope scope(m_history, m_graph, "Rename");
        if (RenameMolecule(name, dlg.m_strNewName) == 1) {
            m_scene.SetCurrentName(std::string());
        }
        return true;
    }
}

bool CEditCommands::OnNewMolecule() {
    for (;;) {
        const std::string current = m_scene.GetCurrentName();
        if (current.empty()) {
            m_prompt.ShowMessage(kReselectMolecule);
            return false;
        }
        CDlgNewMolecule dlg;
        if (!m_prompt.RunNewMolecule(dlg)) {
            return false;
        }
        if (ValidateName(dlg.m_strName) < 1) {
            continue;
        }
        if (IsNameTaken(m_graph, dlg.m_strName)) {
            m_prompt.ShowMessage(kNewNameExists);
            continue;
        }
        const int size = dlg.m_strType == CDlgNewMolecule::kRealMolecule ? 1 : 0;
        NodePos at;
        if (!FindNodeByName(m_graph, current, at)) {
            return false;
        }
        CEditScope scope(m_history, m_graph, "New Molecule");
        const int index = m_graph.AppendMolecule(at.circle, dlg.m_strName, size);
        // Registered, so that the name is taken and the molecule found.
        m_graph.RegisterName(dlg.m_strName, at.circle, index, 0);
        m_scene.RebuildCircle(at.circle);
        return true;
    }
}

bool CEditCommands::OnSetRelation() {
    for (;;) {
        const std::string current = m_scene.GetCurrentName();
        if (current.empty()) {
            m_prompt.ShowMessage(kReselect);
            return false;
        }
        CDlgSetRelation dlg;
        if (!m_prompt.RunSetRelation(dlg)) {
            return false;
        }
        MoleculeRecord* target = m_graph.GetMolecule(dlg.m_nCircle, dlg.m_nNode);
        if (!target) {
            m_prompt.ShowMessage(kNoSuchNode);
            continue;
        }
        NodePos at;
        if (!FindNodeByName(m_graph, current, at)) {
            return false;
        }
        CEditScope scope(m_history, m_graph, "Set Relation");
        m_graph.TouchCircle(at.circle);
        m_graph.GetMolecule(at.circle, at.index)->links += " " + std::to_string(dlg.m_nCircle) + " " +
                                                         std::to_string(dlg.m_nNode) + " " +
                                                         std::to_string(dlg.m_nRelation) + " " +
                                                         std::to_string(dlg.m_nFull);
        // The target lists its new source, so that deleting it later finds
        // the edge.
        m_graph.TouchCircle(dlg.m_nCircle);
        target->backLinks += " " + FormatPosition(at.circle, at.index);
        // Where labels show link targets, the new one is labelled too.
        m_scene.RebuildNodeLinks(at.circle, {at.index}, false);
        return true;
    }
}

void CEditCommands::RunSpecificInformation(IUserPrompt& prompt) {
    CDlgMoreInfo dlg;
    prompt.RunMoreInfo(dlg);
}

bool CEditCommands::OnDeleteMolecule() {
    for (;;) {
        const std::string name = m_scene.GetCurrentName();
        if (name.empty()) {
            return false;
        }
        CDlgDelete dlg;
        dlg.m_strName = name;
        if (!m_prompt.RunDelete(dlg)) {
            return false;
        }
        const int itself = dlg.m_nItself == 1;
        const int incoming = dlg.m_nIncoming == 1;
        const int outgoing = dlg.m_nOutgoing == 1;
        if (itself && !outgoing) {
            m_prompt.ShowMessage(kDeleteOutgoing);
            continue;
        }
        if (itself && !incoming) {
            // Its sources would go on linking to a removed molecule.
            m_prompt.ShowMessage(kDeleteIncoming);
            continue;
        }
        if (!itself && !incoming && !outgoing) {
            return false;
        }
        NodePos at;
        if (!FindNodeByName(m_graph, name, at)) {
            return false;
        }
        CEditScope scope(m_history, m_graph, "Delete");
        m_graph.DeleteMolecule(at.circle, at.index, itself, incoming, outgoing, m_scene);
        return true;
    }
}
