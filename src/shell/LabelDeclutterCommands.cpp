#include "LabelDeclutterCommands.h"

#include <memory>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QSettings>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include "CommandIds.h"
#include "MainFrm.h"
#include "Representation.h"
#include "SettingsKeys.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

CLabelDeclutterMode::CLabelDeclutterMode(CMainFrame& frame, QAction* action)
    : QObject(&frame), m_frame(frame), m_pAction(action) {
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, [this] { Recompute(); });
    // The viewer comes with the view's first update: watch for it.
    frame.GetActiveView()->installEventFilter(this);
    // Any of the four label modes ends this one.
    for (int id : {cmd::CharViewAll, cmd::CharViewRed, cmd::CharViewBoth, cmd::CharViewNothing}) {
        if (QAction* mode = frame.FindCommand(id)) {
            connect(mode, &QAction::triggered, this, [this] {
                if (m_bOn) {
                    m_bOn = false;
                    m_scene.ShowAll();
                    m_pAction->setChecked(false);
                    WriteSetting();
                }
            });
        }
    }
}

CLabelDeclutterMode::~CLabelDeclutterMode() { HookSelection(nullptr); }

bool CLabelDeclutterMode::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::LayoutRequest) {
        Attach();
    }
    return QObject::eventFilter(watched, event);
}

void CLabelDeclutterMode::Attach() {
    SoQtExaminerViewer* viewer = m_frame.GetActiveView()->GetViewer();
    if (m_pSensor || !viewer) {
        return;
    }
    // The viewer's own root holds whatever scene it shows: the sensor sees
    // a new scene, a camera move and every change of the shown scene.
    m_pSensor = std::make_unique<SoNodeSensor>(&CLabelDeclutterMode::SceneChanged, this);
    m_pSensor->attach(viewer->getSceneManager()->getSceneGraph());
    if (m_bOn) {
        m_pending.start();
    }
}

void CLabelDeclutterMode::SceneChanged(void* data, SoSensor* /*sensor*/) {
    auto* self = static_cast<CLabelDeclutterMode*>(data);
    if (self->m_bOn) {
        self->m_pending.start();
    }
}

void CLabelDeclutterMode::SelectionChanged(void* data, SoPath* /*path*/) { SceneChanged(data, nullptr); }

void CLabelDeclutterMode::HookSelection(SoSelection* selection) {
    if (m_pHooked.get() == selection) {
        return;
    }
    if (m_pHooked) {
        m_pHooked->removeSelectionCallback(&CLabelDeclutterMode::SelectionChanged, this);
        m_pHooked->removeDeselectionCallback(&CLabelDeclutterMode::SelectionChanged, this);
    }
    m_pHooked.reset(selection);
    if (m_pHooked) {
        m_pHooked->addSelectionCallback(&CLabelDeclutterMode::SelectionChanged, this);
        m_pHooked->addDeselectionCallback(&CLabelDeclutterMode::SelectionChanged, this);
    }
}

int CLabelDeclutterMode::Recompute() {
    CTarnwickView* view = m_frame.GetActiveView();
    CRepresentation* shown = view->GetCommandTarget();
    SoQtExaminerViewer* viewer = view->GetViewer();
    HookSelection(m_bOn && shown ? shown->GetSelection() : nullptr);
    if (!m_bOn || !shown || !viewer) {
        return 0;
    }
    return m_scene.Apply(*shown, m_frame.GetActiveDocument().m_pGraph.get(),
                         viewer->getViewportRegion().getViewportSizePixels());
}

void CLabelDeclutterMode::SetOn(bool on) {
    m_pAction->setChecked(on);
    if (on == m_bOn) {
        return;
    }
    m_bOn = on;
    CRepresentation* shown = m_frame.GetActiveView()->GetCommandTarget();
    if (on) {
        // A mode of its own: none of the four is checked, both label
        // groups are drawn and thinned out label by label.
        ModeFlags& flags = m_frame.GetMutableModeFlags();
        flags.m_bCharViewAll = flags.m_bCharViewRed = flags.m_bCharViewBoth = flags.m_bCharViewNothing = 0;
        if (shown) {
            shown->SetLabelVisibility(2);
        }
        Attach();
        Recompute();
    } else {
        m_scene.ShowAll();
        HookSelection(nullptr);
        m_frame.ExecuteCommand(cmd::CharViewAll);
    }
    WriteSetting();
}

void CLabelDeclutterMode::WriteSetting() const {
    QSettings settings(SettingsOrganization(), SettingsApplication());
    settings.setValue(DeclutterLabelsKey(), m_bOn);
}

void RegisterLabelDeclutterCommand(CMainFrame& frame) {
    auto mode = std::make_shared<CLabelDeclutterMode*>(nullptr);
    QAction* action = frame.RegisterCommand(cmd::DeclutterLabels,
                                            QCoreApplication::translate("Picture", "Uncluttered Labels"),
                                            [mode] { (*mode)->SetOn(!(*mode)->IsOn()); });
    action->setCheckable(true);
    *mode = new CLabelDeclutterMode(frame, action);
    frame.GetPathwayMenu()->addAction(action);
    QSettings settings(SettingsOrganization(), SettingsApplication());
    if (settings.value(DeclutterLabelsKey(), false).toBool()) {
        (*mode)->SetOn(true);
    }
}
