#include "EditDialogWindows.h"

#include <functional>

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include "DialogUnits.h"
#include "QtUserPrompt.h"
#include "RelationKind.h"

namespace {

// A dialog laid out in dialog units, as its template gives it.
class CUnitDialog : public QDialog {
public:
    CUnitDialog(QWidget* parent, const char* objectName, const QString& title, int width, int height)
        : QDialog(parent), m_units(font()) {
        setObjectName(QString::fromLatin1(objectName));
        setWindowTitle(title);
        setFixedSize(m_units.ToPixels(width, height));
    }

    template <class Widget>
    Widget* Place(Widget* widget, int id, int x, int y, int width, int height) {
        widget->setParent(this);
        widget->setGeometry(m_units.ToPixels(x, y, width, height));
        if (id != 0) {
            widget->setObjectName(QStringLiteral("control%1").arg(id));
        }
        return widget;
    }
    void Label(const QString& text, int x, int y, int width, int height) {
        Place(new QLabel(text), 0, x, y, width, height);
    }
    QLineEdit* Edit(int id, const QString& text, int x, int y, int width, int height) {
        return Place(new QLineEdit(text), id, x, y, width, height);
    }
    QComboBox* DropDown(int id, const QStringList& items, int current, int x, int y, int width, int height) {
        auto* combo = Place(new QComboBox, id, x, y, width, 12);
        combo->addItems(items);
        combo->setCurrentIndex(current);
        combo->setMaxVisibleItems(std::max(1, height / 8));
        return combo;
    }
    // OK (id 1) runs `check` first: false keeps the dialog open.
    void Buttons(const QRect& ok, const QRect& cancel, std::function<bool()> check = {}) {
        auto* okButton = Place(new QPushButton(tr("OK")), 1, ok.x(), ok.y(), ok.width(), ok.height());
        auto* cancelButton =
            Place(new QPushButton(tr("Cancel")), 2, cancel.x(), cancel.y(), cancel.width(), cancel.height());
        okButton->setDefault(true);
        connect(okButton, &QPushButton::clicked, this, [this, check] {
            if (!check || check()) {
                accept();
            }
        });
        connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    }

private:
    DialogUnits m_units;
};

// The integer exchange: a field without an integer is refused with the
// standard message and gets the focus back.
bool ReadInt(QWidget* parent, QLineEdit* edit, int& value) {
    if (ParseDialogInt(edit->text().toStdString(), value)) {
        return true;
    }
    QMessageBox::warning(parent, CQtUserPrompt::Caption(), QString::fromUtf8(kIntegerRequired));
    edit->setFocus();
    edit->selectAll();
    return false;
}

const QStringList kNoYes = {QStringLiteral("No"), QStringLiteral("Yes")};

}  // namespace

bool ExecEditDialog(QWidget* parent, CDlgRename& dlg) {
    CUnitDialog d(parent, "dlgRename", QStringLiteral("Rename"), 132, 72);
    d.Label(QStringLiteral("old name"), 7, 7, 37, 15);
    d.Edit(1009, QString::fromStdString(dlg.m_strOldName), 55, 7, 63, 16)->setEnabled(false);
    d.Label(QStringLiteral("new name"), 7, 29, 37, 15);
    QLineEdit* newName = d.Edit(1001, QString::fromStdString(dlg.m_strNewName), 55, 29, 63, 16);
    d.Buttons(QRect(21, 51, 34, 14), QRect(74, 51, 39, 14));
    newName->setFocus();
    if (d.exec() != QDialog::Accepted) {
        return false;
    }
    dlg.m_strNewName = newName->text().toStdString();
    return true;
}

bool ExecEditDialog(QWidget* parent, CDlgNewMolecule& dlg) {
    CUnitDialog d(parent, "dlgNewMolecule", QStringLiteral("New Molecule"), 187, 93);
    d.Label(QStringLiteral("Name"), 7, 7, 32, 16);
    QLineEdit* name = d.Edit(1010, QString::fromStdString(dlg.m_strName), 46, 7, 134, 16);
    d.Label(QStringLiteral("Type"), 7, 32, 33, 18);
    // A simple combo box: an edit field over an always-open sorted list.
    QLineEdit* type = d.Edit(1002, QString::fromStdString(dlg.m_strType), 46, 36, 134, 12);
    auto* list = d.Place(new QListWidget, 0, 46, 48, 134, 23);
    list->setObjectName(QStringLiteral("control1002list"));
    list->addItems({QString::fromLatin1(CDlgNewMolecule::kArtificialMolecule),
                    QString::fromLatin1(CDlgNewMolecule::kRealMolecule)});
    list->sortItems();
    QObject::connect(list, &QListWidget::itemClicked, type,
                     [type](QListWidgetItem* item) { type->setText(item->text()); });
    d.Buttons(QRect(29, 72, 50, 14), QRect(106, 72, 50, 14));
    name->setFocus();
    if (d.exec() != QDialog::Accepted) {
        return false;
    }
    dlg.m_strName = name->text().toStdString();
    dlg.m_strType = type->text().toStdString();
    return true;
}

bool ExecEditDialog(QWidget* parent, CDlgSetRelation& dlg) {
    CUnitDialog d(parent, "dlgSetRelation", QStringLiteral("Set Relation"), 187, 121);
    d.Label(QStringLiteral("Circle Number"), 7, 7, 52, 17);
    QLineEdit* circle = d.Edit(1012, QString::number(dlg.m_nCircle), 78, 7, 102, 12);
    d.Label(QStringLiteral("Node Number"), 7, 29, 46, 17);
    QLineEdit* node = d.Edit(1001, QString::number(dlg.m_nNode), 78, 29, 102, 12);
    d.Label(QStringLiteral("Relation"), 7, 51, 40, 17);
    QStringList kinds;
    for (int kind = 0; kind < kRelationKindCount; ++kind) {
        kinds << QString::fromLatin1(RelationKindCaption(kind));
    }
    kinds << QString();  // the empty twelfth item, kept as kind 11
    QComboBox* relation = d.DropDown(1002, kinds, dlg.m_nRelation, 78, 53, 102, 66);
    d.Label(QStringLiteral("Full connectedness"), 7, 77, 67, 15);
    QComboBox* full = d.DropDown(1011, kNoYes, dlg.m_nFull, 78, 79, 102, 12);
    CDlgSetRelation values = dlg;
    d.Buttons(QRect(34, 100, 50, 14), QRect(103, 100, 50, 14), [&] {
        return ReadInt(&d, circle, values.m_nCircle) && ReadInt(&d, node, values.m_nNode);
    });
    if (d.exec() != QDialog::Accepted) {
        return false;
    }
    values.m_nRelation = relation->currentIndex();
    values.m_nFull = full->currentIndex();
    dlg = values;
    return true;
}

bool ExecEditDialog(QWidget* parent, CDlgMoreInfo& /*dlg*/) {
    CUnitDialog d(parent, "dlgMoreInfo", QStringLiteral("More information"), 163, 194);
    d.Label(QStringLiteral("condition"), 7, 7, 39, 14);
    d.DropDown(1002, {"N/A", "in vitro", "in vivo"}, 0, 60, 7, 92, 32);
    d.Label(QStringLiteral("experiment"), 7, 25, 39, 14);
    d.DropDown(1004, {"N/A", "yeast two hybrid", "phage display", "ribosome display", "RNA-peptide fusions"}, 0, 60,
               25, 92, 46);
    d.Label(QStringLiteral("organism"), 7, 43, 39, 14);
    d.Edit(1003, QString(), 60, 42, 90, 12);
    d.Label(QStringLiteral("localization"), 7, 61, 42, 14);
    d.DropDown(1006,
               {"N/A", "extracellular ", "cell wall", "mitochondrial ", "golgi ", "nuclear ", "plasma membrane ",
                "ER ", "peroxisomal", "vesicles ", "cytoplasmic ", "vacuolar ", "cytoskeleton"},
               0, 60, 60, 92, 49);
    d.Label(QStringLiteral("degree"), 7, 79, 31, 14);
    d.DropDown(1005, {"N/A", "no", "positively", "negatively", "strongly", "moderately", "weakly"}, 0, 60, 79, 92,
               49);
    d.Label(QStringLiteral("note"), 7, 97, 39, 14);
    d.Edit(1000, QString(), 60, 100, 92, 66);
    d.Buttons(QRect(30, 173, 50, 14), QRect(102, 173, 50, 14));
    return d.exec() == QDialog::Accepted;  // what was entered is not kept
}

bool ExecEditDialog(QWidget* parent, CDlgDelete& dlg) {
    CUnitDialog d(parent, "dlgDelete", QStringLiteral("Dialog"), 187, 112);
    d.Label(QStringLiteral("Name"), 7, 7, 67, 16);
    d.Edit(1010, QString::fromStdString(dlg.m_strName), 78, 7, 102, 14)->setEnabled(false);
    d.Label(QStringLiteral("Delete itself?"), 7, 27, 67, 16);
    QComboBox* itself = d.DropDown(1002, kNoYes, dlg.m_nItself, 92, 30, 88, 41);
    d.Label(QStringLiteral("Delete incoming edge?"), 7, 47, 76, 16);
    QComboBox* incoming = d.DropDown(1003, kNoYes, dlg.m_nIncoming, 92, 49, 88, 43);
    d.Label(QStringLiteral("Delete outgoing edge?"), 7, 67, 75, 16);
    QComboBox* outgoing = d.DropDown(1004, kNoYes, dlg.m_nOutgoing, 92, 69, 88, 36);
    d.Buttons(QRect(39, 91, 50, 14), QRect(101, 91, 50, 14));
    if (d.exec() != QDialog::Accepted) {
        return false;
    }
    dlg.m_nItself = itself->currentIndex();
    dlg.m_nIncoming = incoming->currentIndex();
    dlg.m_nOutgoing = outgoing->currentIndex();
    return true;
}
