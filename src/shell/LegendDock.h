#pragma once

#include <QDockWidget>

class CMainFrame;
class CRepresentation;
class QLabel;
class QTreeWidget;

// What the colours, sizes and cones of the view on screen mean. Follows
// the highlight mode and the representation shown; kinds that share an
// edge colour share a row.
class CLegendDock : public QDockWidget {
    Q_OBJECT
public:
    explicit CLegendDock(CMainFrame& frame);

    void Refresh();
    // Refreshes when the view shows another scene or the mode changed.
    void RefreshIfChanged();
    QTreeWidget* Rows() const { return m_pRows; }
    QString ConeText() const;
    QString HighlightText() const;

private:
    CMainFrame& m_frame;
    QLabel* m_pHeading;
    QTreeWidget* m_pRows;
    QLabel* m_pCone;
    // What the rows describe; compared by address only.
    const CRepresentation* m_pShown = nullptr;
    const void* m_pShownRoot = nullptr;
    int m_nMode = -1;
};

void RegisterLegendCommand(CMainFrame& frame);
