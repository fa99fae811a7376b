#include "EditScript.h"

#include <climits>
#include <sstream>
#include <vector>

#include "EditCommands.h"
#include "EditDialogs.h"
#include "EditScene.h"
#include "UserPrompt.h"

namespace {

// Answers the one dialog of a line with the line's values; a command that
// starts again after a refusal finds it cancelled.
class CLinePrompt : public IUserPrompt {
public:
    void ShowMessage(const std::string& text) override {
        if (m_strMessage.empty()) {
            m_strMessage = text;
        }
    }
    Answer Ask(const std::string&, bool) override { return Answer::No; }
    bool ChooseFile(const FileChoice&, std::string&) override { return false; }
    bool RunRename(CDlgRename& dlg) override { return Take(m_rename, dlg); }
    bool RunNewMolecule(CDlgNewMolecule& dlg) override { return Take(m_newMolecule, dlg); }
    bool RunSetRelation(CDlgSetRelation& dlg) override { return Take(m_setRelation, dlg); }
    bool RunDelete(CDlgDelete& dlg) override { return Take(m_delete, dlg); }

    template <class Dialog>
    static bool Take(std::vector<Dialog>& once, Dialog& dlg) {
        if (once.empty()) {
            return false;
        }
        dlg = once.back();
        once.clear();
        return true;
    }

    std::string m_strMessage;
    std::vector<CDlgRename> m_rename;
    std::vector<CDlgNewMolecule> m_newMolecule;
    std::vector<CDlgSetRelation> m_setRelation;
    std::vector<CDlgDelete> m_delete;
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t begin = 0;
    for (;;) {
        size_t tab = line.find('\t', begin);
        fields.push_back(line.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin));
        if (tab == std::string::npos) {
            return fields;
        }
        begin = tab + 1;
    }
}

struct EditForm {
    const char* name;
    size_t fields;  // after the edit's name
    const char* usage;
};

const EditForm kForms[] = {
    {"rename", 2, "rename<TAB>OLD<TAB>NEW"},
    {"new-molecule", 3, "new-molecule<TAB>CURRENT<TAB>NAME<TAB>TYPE"},
    {"set-relation", 5, "set-relation<TAB>CURRENT<TAB>CIRCLE<TAB>NODE<TAB>KIND<TAB>FULL"},
    {"delete", 4, "delete<TAB>NAME<TAB>ITSELF<TAB>INCOMING<TAB>OUTGOING"},
};

// One integer field holding a choice from `low` to `high`.
bool Choice(const std::string& text, int low, int high, int& value, std::string& error) {
    if (!ParseDialogInt(text, value)) {
        error = kIntegerRequired;
        return false;
    }
    if (value < low || value > high) {
        error = "\"" + text + "\" is not a choice from " + std::to_string(low) + " to " + std::to_string(high);
        return false;
    }
    return true;
}

// Runs one edit; false with the reason.
bool ApplyEdit(CNode& graph, const std::vector<std::string>& f, std::string& error) {
    const EditForm* form = nullptr;
    for (const EditForm& candidate : kForms) {
        if (f[0] == candidate.name) {
            form = &candidate;
        }
    }
    if (!form) {
        error = "unknown edit \"" + f[0] + "\"";
        return false;
    }
    if (f.size() != form->fields + 1) {
        error = std::string("expected ") + form->usage;
        return false;
    }
    NodePos at;
    if (!FindNodeByName(graph, f[1], at)) {
        error = "no node named \"" + f[1] + "\"";
        return false;
    }
    CLinePrompt prompt;
    CNoScene scene;
    scene.SetCurrentName(f[1]);
    CEditCommands commands(graph, prompt, scene, nullptr);
    if (form == &kForms[0]) {
        prompt.m_rename.push_back({f[1], f[2]});
        commands.OnRename();
    } else if (form == &kForms[1]) {
        prompt.m_newMolecule.push_back({f[2], f[3]});
        commands.OnNewMolecule();
    } else if (form == &kForms[2]) {
        CDlgSetRelation dlg;
        if (!Choice(f[2], INT_MIN + 1, INT_MAX - 1, dlg.m_nCircle, error) ||
            !Choice(f[3], INT_MIN + 1, INT_MAX - 1, dlg.m_nNode, error) ||
            !Choice(f[4], 0, 11, dlg.m_nRelation, error) || !Choice(f[5], 0, 1, dlg.m_nFull, error)) {
            return false;
        }
        prompt.m_setRelation.push_back(dlg);
        commands.OnSetRelation();
    } else {
        CDlgDelete dlg;
        dlg.m_strName = f[1];
        if (!Choice(f[2], 0, 1, dlg.m_nItself, error) || !Choice(f[3], 0, 1, dlg.m_nIncoming, error) ||
            !Choice(f[4], 0, 1, dlg.m_nOutgoing, error)) {
            return false;
        }
        prompt.m_delete.push_back(dlg);
        commands.OnDeleteMolecule();
    }
    error = prompt.m_strMessage;
    return error.empty();
}

}  // namespace

bool ApplyEditScript(CNode& graph, const std::string& script, std::string& error, int& applied) {
    applied = 0;
    std::istringstream in(script);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (!ApplyEdit(graph, SplitTabs(line), error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
        ++applied;
    }
    return true;
}
