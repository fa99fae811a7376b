#pragma once

#include <QDialog>

class QLineEdit;

// The radius dialog of the sphere view: "Big radius" and "Small radius",
// each an integer 0..9999. OK with a field that does not hold one shows the
// standard message and keeps the dialog open at that field.
class CDlgRadius : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 132;
    static constexpr int IDC_BIG_RADIUS = 1000;
    static constexpr int IDC_SMALL_RADIUS = 1001;
    static constexpr int kMaxRadius = 9999;

    CDlgRadius(int bigRadius, int smallRadius, QWidget* parent = nullptr);

    int m_nBigRadius;
    int m_nSmallRadius;

    void accept() override;

private:
    QLineEdit* m_pBig;
    QLineEdit* m_pSmall;
};
