#pragma once

#include <QString>

#include "UserPrompt.h"

class QWidget;

// The curator's side of IUserPrompt: message boxes captioned with the
// application title and the Qt file dialogs.
class CQtUserPrompt : public IUserPrompt {
public:
    static const QString& Caption();

    explicit CQtUserPrompt(QWidget* parent) : m_pParent(parent) {}

    void ShowMessage(const std::string& text) override;
    bool ShowSeriesMessage(const std::string& text) override;
    void ShowMessageWithDetails(const std::string& text, const std::string& details) override;
    Answer Ask(const std::string& text, bool withCancel) override;
    bool ChooseFile(const FileChoice& choice, std::string& path) override;
    bool AskRadii(Radii& radii) override;
    bool ChooseDataSource(const DataSourceOffer& offer, DataSourceChoice& choice) override;
    bool RunRename(CDlgRename& dlg) override;
    bool RunNewMolecule(CDlgNewMolecule& dlg) override;
    bool RunSetRelation(CDlgSetRelation& dlg) override;
    bool RunMoreInfo(CDlgMoreInfo& dlg) override;
    bool RunDelete(CDlgDelete& dlg) override;
    bool AskImageExport(ImageChoice& choice) override;  // DlgExportImage.cpp

    static QString RestButtonText();

private:
    QWidget* m_pParent;
};
