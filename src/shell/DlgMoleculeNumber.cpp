#include "DlgMoleculeNumber.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "QtUserPrompt.h"

CDlgMoleculeNumber::CDlgMoleculeNumber(int total, QWidget* parent) : QDialog(parent), m_nTotal(total) {
    setObjectName(QStringLiteral("dlgMoleculeNumber"));
    setWindowTitle(QStringLiteral("Molecule Name"));
    auto* totalEdit = new QLineEdit(QString::number(total), this);
    totalEdit->setObjectName(QStringLiteral("control1000"));
    totalEdit->setEnabled(false);
    m_pFind = new QLineEdit(QStringLiteral("0"), this);
    m_pFind->setObjectName(QStringLiteral("control1001"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("The total number of molecule is "), this), 0, 0);
    layout->addWidget(totalEdit, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("You want to find"), this), 1, 0);
    layout->addWidget(m_pFind, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

void CDlgMoleculeNumber::accept() {
    // An integer or nothing: the dialog stays open with the field in focus.
    bool ok = false;
    const int value = m_pFind->text().trimmed().toInt(&ok);
    if (!ok) {
        QMessageBox box(QMessageBox::Warning, CQtUserPrompt::Caption(), QStringLiteral("정수를 입력하십시오."),
                        QMessageBox::Ok, this);
        box.exec();
        m_pFind->setFocus();
        m_pFind->selectAll();
        return;
    }
    m_nFind = value;
    QDialog::accept();
}
