#include "DlgExportImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "QtUserPrompt.h"
#include "SceneImage.h"

CDlgExportImage::CDlgExportImage(const IUserPrompt::ImageChoice& choice, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dialogExportImage"));
    setWindowTitle(tr("Export Image"));
    auto side = [this](int value, const char* name) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(1, kMaxImageSide);
        box->setValue(value);
        box->setSuffix(tr(" px"));
        return box;
    };
    m_pWidth = side(choice.width, "imageWidth");
    m_pHeight = side(choice.height, "imageHeight");
    m_pBackground = new QComboBox(this);
    m_pBackground->setObjectName(QStringLiteral("imageBackground"));
    m_pBackground->addItems({tr("Black"), tr("White")});
    m_pBackground->setCurrentIndex(choice.blackBackground ? 0 : 1);
    m_pLabels = new QCheckBox(tr("Draw labels"), this);
    m_pLabels->setObjectName(QStringLiteral("imageLabels"));
    m_pLabels->setChecked(choice.labels);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Width"), m_pWidth);
    form->addRow(tr("Height"), m_pHeight);
    form->addRow(tr("Background"), m_pBackground);
    form->addRow(m_pLabels);
    form->addRow(buttons);
}

IUserPrompt::ImageChoice CDlgExportImage::Choice() const {
    IUserPrompt::ImageChoice choice;
    choice.width = m_pWidth->value();
    choice.height = m_pHeight->value();
    choice.blackBackground = m_pBackground->currentIndex() == 0;
    choice.labels = m_pLabels->isChecked();
    return choice;
}

bool CQtUserPrompt::AskImageExport(ImageChoice& choice) {
    CDlgExportImage dialog(choice, m_pParent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    choice = dialog.Choice();
    return true;
}
