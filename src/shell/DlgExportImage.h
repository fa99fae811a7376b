#pragma once

#include <QDialog>

#include "UserPrompt.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

// Size, background and labels of an exported picture.
class CDlgExportImage : public QDialog {
    Q_OBJECT
public:
    explicit CDlgExportImage(const IUserPrompt::ImageChoice& choice, QWidget* parent = nullptr);
    IUserPrompt::ImageChoice Choice() const;

private:
    QSpinBox* m_pWidth;
    QSpinBox* m_pHeight;
    QComboBox* m_pBackground;
    QCheckBox* m_pLabels;
};
