#include "DlgRadius.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "DialogUnits.h"
#include "IntegerField.h"
#include "QtUserPrompt.h"

CDlgRadius::CDlgRadius(int bigRadius, int smallRadius, QWidget* parent)
    : QDialog(parent), m_nBigRadius(bigRadius), m_nSmallRadius(smallRadius) {
    setObjectName(QStringLiteral("dialogRadius"));
    setWindowTitle(tr("Dialog"));
    setMinimumSize(DialogUnits(font()).ToPixels(177, 73));

    m_pBig = new QLineEdit(QString::number(bigRadius), this);
    m_pBig->setObjectName(QStringLiteral("edit%1").arg(IDC_BIG_RADIUS));
    m_pSmall = new QLineEdit(QString::number(smallRadius), this);
    m_pSmall->setObjectName(QStringLiteral("edit%1").arg(IDC_SMALL_RADIUS));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgRadius::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Big radius"), this), 0, 0);
    grid->addWidget(m_pBig, 0, 1);
    grid->addWidget(new QLabel(tr("Small radius"), this), 1, 0);
    grid->addWidget(m_pSmall, 1, 1);
    grid->addWidget(buttons, 0, 2, 2, 1);
}

void CDlgRadius::accept() {
    int values[2] = {0, 0};
    QLineEdit* fields[2] = {m_pBig, m_pSmall};
    for (int i = 0; i < 2; ++i) {
        std::string message;
        if (!ReadIntegerField(fields[i]->text().toStdString(), 0, kMaxRadius, values[i], message)) {
            QMessageBox::warning(this, CQtUserPrompt::Caption(), QString::fromStdString(message));
            fields[i]->setFocus();
            fields[i]->selectAll();
            return;
        }
    }
    m_nBigRadius = values[0];
    m_nSmallRadius = values[1];
    QDialog::accept();
}
