#include "AboutDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogUnits.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("Tarnwick 정보"));
    setMinimumSize(DialogUnits(font()).ToPixels(235, 55));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/tarnwick.svg")).pixmap(32, 32));

    auto* version = new QLabel(tr("Tarnwick 버전 1.0"), this);
    version->setObjectName(QStringLiteral("aboutVersion"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("확인"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(version, 1, Qt::AlignTop);
    row->addWidget(buttons, 0, Qt::AlignTop);
    setLayout(row);
}
