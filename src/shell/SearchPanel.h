#pragma once

#include <string>

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// What the search button asks for: the name of control 1000 and the
// selected indexes of 1002 (relation kind, 11 = none) and 1004 (distance);
// -1 where nothing is selected.
struct SearchRequest {
    std::string name;
    int kind = -1;
    int distance = -1;
};

// The docked panel: the search controls and the two read-only panes in
// which selection and search write their results.
class CSearchPanel : public QWidget {
    Q_OBJECT
public:
    enum ControlId {
        IDC_NODE_NAME = 1000,
        IDC_SEARCH = 1001,
        IDC_RELATION = 1002,
        IDC_DISTANCE = 1004,
        IDC_NODE_PANE = 1007,
        IDC_SOURCE_PANE = 1008,
    };

    explicit CSearchPanel(QWidget* parent = nullptr);

    SearchRequest GetSearchRequest() const;
    // Controls carry their dialog id in the "controlId" property.
    QWidget* GetControl(int id) const;

    void SetNodeNameText(const QString& text);
    void SetTextSourceText(const QString& text);
    QString GetNodeNameText() const;
    QString GetTextSourceText() const;

signals:
    void searchRequested();

private:
    QLineEdit* m_pNameEdit;
    QComboBox* m_pRelationCombo;
    QComboBox* m_pDistanceCombo;
    QPushButton* m_pSearchButton;
    QPlainTextEdit* m_pNodeNamePane;
    QPlainTextEdit* m_pTextSourcePane;
};
