#include "LegendDock.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CommandIds.h"
#include "LegendContent.h"
#include "MainFrm.h"
#include "Representation.h"
#include "TarnwickView.h"

namespace {

QColor ToQColor(const SbColor& c) { return QColor::fromRgbF(c[0], c[1], c[2]); }

int HighlightModeOf(const ModeFlags& flags) {
    return flags.m_bSelectiveShowing ? 1 : flags.m_bViewByColor ? 2 : 0;
}

}  // namespace

CLegendDock::CLegendDock(CMainFrame& frame) : QDockWidget(tr("Legend"), &frame), m_frame(frame) {
    setObjectName(QStringLiteral("LegendDock"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_pHeading = new QLabel(body);
    m_pHeading->setWordWrap(true);
    m_pRows = new QTreeWidget(body);
    m_pRows->setObjectName(QStringLiteral("legendRows"));
    m_pRows->setColumnCount(1);
    m_pRows->header()->hide();
    m_pRows->setRootIsDecorated(false);
    m_pRows->setSelectionMode(QAbstractItemView::NoSelection);
    m_pCone = new QLabel(body);
    m_pCone->setWordWrap(true);
    layout->addWidget(m_pHeading);
    layout->addWidget(m_pRows, 1);
    layout->addWidget(m_pCone);
    setWidget(body);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            Refresh();
        }
    });
}

QString CLegendDock::ConeText() const { return m_pCone->text(); }
QString CLegendDock::HighlightText() const { return m_pHeading->text(); }

void CLegendDock::RefreshIfChanged() {
    const CRepresentation* shown = m_frame.GetActiveView()->GetCommandTarget();
    const int mode = HighlightModeOf(m_frame.GetModeFlags());
    if (shown != m_pShown || (shown && shown->GetRoot() != m_pShownRoot) || mode != m_nMode) {
        Refresh();
    }
}

void CLegendDock::Refresh() {
    m_pRows->clear();
    const CRepresentation* shown = m_frame.GetActiveView()->GetCommandTarget();
    m_pShown = shown;
    m_pShownRoot = shown ? shown->GetRoot() : nullptr;
    m_nMode = HighlightModeOf(m_frame.GetModeFlags());
    if (!shown) {
        m_pHeading->setText(tr("The view shows no pathway."));
        m_pCone->clear();
        return;
    }
    const LegendContent legend = BuildLegend(*shown, HighlightModeOf(m_frame.GetModeFlags()));
    m_pHeading->setText(QString::fromStdString(legend.view + "\n" + legend.highlight));
    auto section = [this](const QString& title) {
        auto* item = new QTreeWidgetItem(m_pRows, {title});
        QFont bold = item->font(0);
        bold.setBold(true);
        item->setFont(0, bold);
    };
    auto row = [this](const SbColor& colour, const std::string& text) {
        auto* item = new QTreeWidgetItem(m_pRows, {QString::fromStdString(text)});
        item->setData(0, Qt::DecorationRole, ToQColor(colour));
        item->setToolTip(0, item->text(0));
    };
    section(tr("Spheres"));
    for (const LegendSphereRow& sphere : legend.spheres) {
        row(sphere.colour, sphere.meaning + " (radius " + QString::number(sphere.radius).toStdString() + ")");
    }
    section(tr("Edges by relation kind"));
    for (const LegendEdgeRow& edge : legend.edges) {
        row(edge.colour, edge.names);
    }
    m_pCone->setText(QString::fromStdString(legend.cone));
}

void RegisterLegendCommand(CMainFrame& frame) {
    auto* dock = new CLegendDock(frame);
    frame.addDockWidget(Qt::RightDockWidgetArea, dock);
    // Opened from the menu; the window state remembers it from then on.
    dock->hide();
    QAction* toggle = frame.RegisterCommand(cmd::Legend, dock->tr("Legend"), [dock] {
        dock->setVisible(!dock->isVisible());
    });
    toggle->setCheckable(true);
    QObject::connect(dock, &QDockWidget::visibilityChanged, toggle, [dock, toggle] {
        toggle->setChecked(dock->isVisible());
    });
    // The view on screen and the highlight mode change through many
    // commands, some of them registered later: look a few times a second.
    auto* watch = new QTimer(dock);
    QObject::connect(watch, &QTimer::timeout, dock, [dock] {
        if (dock->isVisible()) {
            dock->RefreshIfChanged();
        }
    });
    watch->start(250);
    frame.GetPathwayMenu()->addAction(toggle);
}
