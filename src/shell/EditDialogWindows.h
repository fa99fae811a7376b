#pragma once

#include "EditDialogs.h"

class QWidget;

// The editing dialogs as modal windows: each opens with the values in
// `dlg`, and on OK writes what the curator entered back; false on Cancel.
// An integer field that does not hold an integer keeps the dialog open
// with the validation message.
bool ExecEditDialog(QWidget* parent, CDlgRename& dlg);
bool ExecEditDialog(QWidget* parent, CDlgNewMolecule& dlg);
bool ExecEditDialog(QWidget* parent, CDlgSetRelation& dlg);
bool ExecEditDialog(QWidget* parent, CDlgMoreInfo& dlg);
bool ExecEditDialog(QWidget* parent, CDlgDelete& dlg);
