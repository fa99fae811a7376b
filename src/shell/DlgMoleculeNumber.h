#pragma once

#include <QDialog>

class QLineEdit;

// "Molecule Name": shows how many special tokens there are and asks for the
// 0-based position of the one to filter by.
class CDlgMoleculeNumber : public QDialog {
    Q_OBJECT
public:
    CDlgMoleculeNumber(int total, QWidget* parent = nullptr);

    int m_nTotal = 0;
    int m_nFind = 0;

    void accept() override;

private:
    QLineEdit* m_pFind;
};
