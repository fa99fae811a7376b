#pragma once

#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <Inventor/SbBasic.h>
#include <Inventor/SbVec2s.h>
#include <Inventor/SbVec3f.h>

#include "CoinPtr.h"
#include "SceneHost.h"
#include "SlicedSceneRelease.h"

class CBoxRep;
class CMotionViewer;
class CLayoutExtent;
class CRepresentation;
class CSphereVision;
class CSearchPanel;
class CTarnwickDoc;
class IUserPrompt;
class QEvent;
class SoBoxHighlightRenderAction;
class SoGLRenderAction;
class SoNode;
class SoPerspectiveCamera;
class SoQtExaminerViewer;

// The view: owns the examiner viewer, the viewport region fixed at the
// first initial update, the two render actions and the shown scene root,
// and the newest box and sphere representations.
class CTarnwickView : public QWidget, public ISceneHost {
    Q_OBJECT
public:
    CTarnwickView(CTarnwickDoc& doc, const ModeFlags& flags, CSearchPanel& panel, IUserPrompt& prompt,
                  QWidget* parent = nullptr);
    ~CTarnwickView() override;

    // Creates the viewer, viewport region and render actions the first time,
    // then runs the start-up load. Later calls only load again.
    void OnInitialUpdate();
    // Creates the viewer, viewport region and render actions unless done.
    void PrepareViewer();
    // Build, node positions, box layout and scene; a data source that cannot
    // be read is reported and leaves an empty scene.
    void OnStartupLoad();
    // The start-up load on `connect`, with progress and a Cancel button in
    // the status bar while the window keeps painting. True when the new
    // pathway is shown. A cancelled load keeps the previous pathway; so
    // does a source that cannot be read when `keepOnFailure` (the error is
    // shown either way).
    bool LoadDataSource(const std::string& connect, bool keepOnFailure);
    // Whether a replaced scene is still being let go.
    bool IsReleasingScene() const { return !m_release.Done(); }
    // What the status bar says after a load that replaced line breaks in
    // member names.
    static QString LineBreakRepairText(int rows);
    // Gives m_pSceneRoot to the viewer.
    void ShowSceneRoot();
    CBoxRep* GetBox() const { return m_pBox.get(); }
    CSphereVision* GetSphere() const { return m_pSphere.get(); }
    // Takes a built representation in place of the one of its kind and
    // shows its root; the replaced one and its scene go once the viewer no
    // longer shows them.
    void AdoptRepresentation(std::unique_ptr<CBoxRep> box);
    void AdoptRepresentation(std::unique_ptr<CSphereVision> sphere);
    // Fits the box view's camera so the whole pathway fills the view, as
    // at start; false when the box is not on screen.
    bool FitBoxPicture();
    // The representation on screen, which the frame's commands (search
    // panel, Deselect All, expansion, highlight and label modes) and clicks
    // in the viewer address; null while the viewer shows neither.
    CRepresentation* GetCommandTarget() const;
    SoQtExaminerViewer* GetViewer() const;
    CMotionViewer* GetMotionViewer() const { return m_pViewer; }
    SoNode* GetSceneRoot() const { return m_pSceneRoot.get(); }
    SoBoxHighlightRenderAction* GetBoxHighlightAction() const { return m_pBoxHighlightAction.get(); }
    SoGLRenderAction* GetGLAction() const { return m_pGLAction.get(); }

    // ISceneHost
    const ModeFlags& GetModeFlags() const override { return m_flags; }
    const SbViewportRegion& GetViewportRegion() const override;
    void RedrawOnSelectionChange(SoSelection* selection) override;
    // Highlight mode 0 renders with the box highlight, modes 1 and 2 plainly.
    void UseRenderActionFor(int highlightMode) override;
    // The result panes of the search panel.
    void SetNodeNameText(const std::string& text) override;
    void SetTextSourceText(const std::string& text) override;
    void ShowMessage(const std::string& text) override;

    // Press and release of the left button closer than this, in pixels
    // and milliseconds, make a click rather than a drag.
    static constexpr int kClickSlop = 4;
    static constexpr int kClickMilliseconds = 500;
    // Share of the drawing area's width or height the start-up picture
    // takes on its tighter side.
    static constexpr float kStartFill = 0.92f;
    static constexpr short kFitMinimumPixels = 200;

signals:
    // A note for the status bar.
    void statusText(const QString& text);
    // A start-up load ended; false when no node-position file was read.
    void startupLoaded(bool positionsRead);
    // A click in the viewer hit a sphere; `name` is the one now clicked,
    // empty when the click took it out of the selection.
    void sphereClicked(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateViewer();
    // Draws the picture once the window system has shown or resized the
    // drawing area.
    void DrawAfterExpose();
    // Fits the camera of the start-up picture to the drawing area's size,
    // until the user or a command moves it.
    void FitStartPicture();
    // Shows a box scene whose molecules exist while its labels and edges
    // are still to come, its camera placed for the finished scene.
    void ShowWhileBuilding(CBoxRep& box, const CLayoutExtent& extent);
    // The scene shown while it was built is complete, or is no longer shown.
    void EndShowWhileBuilding();
    SbVec2s CurrentViewerSize();
    // The viewer's own mouse handling turns drags into rotation; a click
    // that does not move selects what lies under the pointer.
    static SbBool ViewerEvent(void* data, QEvent* event);
    void OnViewerMouse(QEvent* event);
    template <class Rep>
    void Adopt(std::unique_ptr<Rep>& slot, std::unique_ptr<Rep> rep);
    // A scene no viewer shows, let go over later turns of the event loop.
    void ReleaseLater(CoinPtr<SoNode> scene);

    CTarnwickDoc& m_doc;
    const ModeFlags& m_flags;
    CSearchPanel& m_panel;
    IUserPrompt& m_prompt;

    CMotionViewer* m_pViewer = nullptr;
    std::unique_ptr<SbViewportRegion> m_pViewport;
    std::unique_ptr<SoBoxHighlightRenderAction> m_pBoxHighlightAction;
    std::unique_ptr<CSphereVision> m_pSphere;
    std::unique_ptr<CBoxRep> m_pBox;
    std::unique_ptr<SoGLRenderAction> m_pGLAction;
    CoinPtr<SoNode> m_pSceneRoot;
    // Replaced scenes on their way out.
    CSlicedSceneRelease m_release;

    bool m_bDrawPending = false;
    QSize m_drawnSize;
    bool m_bFitAtStart = false;
    // The start picture's camera as fitted, and what it was fitted to.
    CoinPtr<SoPerspectiveCamera> m_pStartCamera;
    std::unique_ptr<CLayoutExtent> m_pStartExtent;
    // The box scene on screen while the start-up load still builds it.
    const CBoxRep* m_pBuilding = nullptr;
    SbVec3f m_fittedPosition;
    SbVec2s m_fittedPixels;  // the drawing area's size when it was fitted

    bool m_bButtonDown = false;
    QPoint m_pressAt;
    QElapsedTimer m_pressTime;
};
