#include "QtUserPrompt.h"

#include <QFileDialog>
#include <QMessageBox>

#include "FileFilter.h"

const QString& CQtUserPrompt::Caption() {
    static const QString caption = QStringLiteral("QuillonTarnwick");
    return caption;
}

void CQtUserPrompt::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, Caption(), QString::fromStdString(text), QMessageBox::Ok,
                    m_pParent);
    box.exec();
}

IUserPrompt::Answer CQtUserPrompt::Ask(const std::string& text, bool withCancel) {
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
    QFileDialog dialog(m_pParent);
    dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString filters = ConvertResourceFilter(QString::fromStdString(choice.filter));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters.split(QStringLiteral(";;")));
    }
    dialog.setDefaultSuffix(QString::fromStdString(choice.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !choice.promptOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    path = dialog.selectedFiles().first().toStdString();
    return true;
}
