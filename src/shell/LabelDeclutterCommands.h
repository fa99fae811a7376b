#pragma once

#include <memory>

#include <QObject>
#include <QTimer>

#include "CoinPtr.h"
#include "LabelDeclutterScene.h"

class CMainFrame;
class QAction;
class SoNodeSensor;
class SoPath;
class SoSelection;
class SoSensor;

// The uncluttered label mode, beside the four label modes: while it is on,
// the labels of the view on screen are recomputed whenever the scene or its
// camera changes and whenever the selection does. Choosing one of the four
// label modes turns it off; the choice is kept in the settings.
class CLabelDeclutterMode : public QObject {
    Q_OBJECT
public:
    CLabelDeclutterMode(CMainFrame& frame, QAction* action);
    ~CLabelDeclutterMode() override;

    bool IsOn() const { return m_bOn; }
    void SetOn(bool on);
    // Recomputes now; the number of labels shown (0 while off).
    int Recompute();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void SceneChanged(void* data, SoSensor* sensor);
    static void SelectionChanged(void* data, SoPath* path);
    void Attach();
    void HookSelection(SoSelection* selection);
    void WriteSetting() const;

    CMainFrame& m_frame;
    QAction* m_pAction;
    bool m_bOn = false;
    CSceneLabelDeclutter m_scene;
    std::unique_ptr<SoNodeSensor> m_pSensor;
    CoinPtr<SoSelection> m_pHooked;
    QTimer m_pending;
};

void RegisterLabelDeclutterCommand(CMainFrame& frame);
