#include "QtUserPrompt.h"

#include "DataSourcePrompt.h"
#include "DlgDataSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "BusyCursor.h"
#include "DlgRadius.h"
#include "EditDialogWindows.h"
#include "FileFilter.h"

namespace {

template <class Dialog>
bool ExecPaused(QWidget* parent, Dialog& dlg) {
    CBusyCursor::Pause pause;
    return ExecEditDialog(parent, dlg);
}

}  // namespace

const QString& CQtUserPrompt::Caption() {
    static const QString caption = QStringLiteral("QuillonTarnwick");
    return caption;
}

void CQtUserPrompt::ShowMessage(const std::string& text) {
    CBusyCursor::Pause pause;
    QMessageBox box(QMessageBox::Warning, Caption(), QString::fromStdString(text), QMessageBox::Ok,
                    m_pParent);
    box.exec();
}

QString CQtUserPrompt::RestButtonText() {
    return QCoreApplication::translate("CQtUserPrompt", "Show the rest in one list");
}

bool CQtUserPrompt::ShowSeriesMessage(const std::string& text) {
    CBusyCursor::Pause pause;
    QMessageBox box(QMessageBox::Warning, Caption(), QString::fromStdString(text), QMessageBox::Ok, m_pParent);
    QPushButton* rest = box.addButton(RestButtonText(), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == rest;
}

void CQtUserPrompt::ShowMessageWithDetails(const std::string& text, const std::string& details) {
    CBusyCursor::Pause pause;
    QMessageBox box(QMessageBox::Warning, Caption(), QString::fromStdString(text), QMessageBox::Ok, m_pParent);
    box.setDetailedText(QString::fromStdString(details));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

IUserPrompt::Answer CQtUserPrompt::Ask(const std::string& text, bool withCancel) {
    CBusyCursor::Pause pause;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) {
        buttons |= QMessageBox::Cancel;
    }
    QMessageBox box(QMessageBox::Question, Caption(), QString::fromStdString(text), buttons, m_pParent);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return withCancel ? Answer::Cancel : Answer::No;
    }
}

bool CQtUserPrompt::ChooseFile(const FileChoice& choice, std::string& path) {
    CBusyCursor::Pause pause;
    QFileDialog dialog(m_pParent);
    dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString filters = ConvertResourceFilter(QString::fromStdString(choice.filter));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters.split(QStringLiteral(";;")));
    }
    dialog.setDefaultSuffix(QString::fromStdString(choice.defaultExtension));
    // The overwrite question is ours, so that it carries the program's caption.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return false;
        }
        const QString chosen = dialog.selectedFiles().first();
        if (choice.save && choice.promptOverwrite && QFileInfo::exists(chosen)) {
            const QString question =
                QCoreApplication::translate("CQtUserPrompt", "%1 already exists.\nDo you want to replace it?")
                    .arg(QDir::toNativeSeparators(chosen));
            if (Ask(question.toStdString(), false) != Answer::Yes) {
                dialog.selectFile(chosen);
                continue;  // choose again
            }
        }
        path = chosen.toStdString();
        return true;
    }
}

bool CQtUserPrompt::AskRadii(Radii& radii) {
    CBusyCursor::Pause pause;
    CDlgRadius dialog(radii.bigRadius, radii.smallRadius, m_pParent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    radii.bigRadius = dialog.m_nBigRadius;
    radii.smallRadius = dialog.m_nSmallRadius;
    return true;
}
bool CQtUserPrompt::ChooseDataSource(const DataSourceOffer& offer, DataSourceChoice& choice) {
    CBusyCursor::Pause pause;
    CDlgDataSource dialog(offer, choice,
                          [this](std::string& path) {
                              FileChoice file;
                              file.save = false;
                              file.filter = kDatabaseFileFilter;
                              return ChooseFile(file, path);
                          },
                          m_pParent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    choice = dialog.Choice();
    return true;
}
bool CQtUserPrompt::RunRename(CDlgRename& dlg) { return ExecPaused(m_pParent, dlg); }
bool CQtUserPrompt::RunNewMolecule(CDlgNewMolecule& dlg) { return ExecPaused(m_pParent, dlg); }
bool CQtUserPrompt::RunSetRelation(CDlgSetRelation& dlg) { return ExecPaused(m_pParent, dlg); }
bool CQtUserPrompt::RunMoreInfo(CDlgMoreInfo& dlg) { return ExecPaused(m_pParent, dlg); }
bool CQtUserPrompt::RunDelete(CDlgDelete& dlg) { return ExecPaused(m_pParent, dlg); }
