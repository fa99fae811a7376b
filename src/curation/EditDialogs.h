#pragma once

#include <string>

// What the editing dialogs exchange, with their initial values. The shell
// shows them as modal dialogs; scripts and tests fill them directly.

struct CDlgRename {
    std::string m_strOldName;  // shown, not editable
    std::string m_strNewName;
};

struct CDlgNewMolecule {
    static constexpr const char* kRealMolecule = "Real Molecule";
    static constexpr const char* kArtificialMolecule = "Artificial Molecule";
    std::string m_strName;
    std::string m_strType;  // the text of the type field, typed or chosen
};

struct CDlgSetRelation {
    int m_nCircle = 0;
    int m_nNode = 0;
    int m_nRelation = 0;  // 0..10 the relation kinds, 11 the empty item
    int m_nFull = 1;      // 0 No, 1 Yes
};

// Its choices are discarded when it closes.
struct CDlgMoreInfo {};

struct CDlgDelete {
    std::string m_strName;  // shown, not editable
    int m_nItself = 1;      // 1 = Yes
    int m_nIncoming = 1;
    int m_nOutgoing = 1;
};

// The integer fields' validation message.
constexpr const char* kIntegerRequired = "정수를 입력하십시오.";

// An integer field's text as the dialogs read it (optional white space
// around an optional sign and digits); false for anything else.
bool ParseDialogInt(const std::string& text, int& value);
