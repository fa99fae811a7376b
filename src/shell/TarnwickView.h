#pragma once

#include <memory>
#include <string>

#include <QWidget>

#include "CoinPtr.h"
#include "SceneHost.h"

class CBoxRep;
class CSearchPanel;
class CTarnwickDoc;
class IUserPrompt;
class SoBoxHighlightRenderAction;
class SoGLRenderAction;
class SoNode;
class SoQtExaminerViewer;

// The view: owns the examiner viewer, the viewport region fixed at the
// first initial update, the two render actions and the shown scene root,
// and the box representation built by the start-up load.
class CTarnwickView : public QWidget, public ISceneHost {
    Q_OBJECT
public:
    CTarnwickView(CTarnwickDoc& doc, const ModeFlags& flags, CSearchPanel& panel, IUserPrompt& prompt,
                  QWidget* parent = nullptr);
    ~CTarnwickView() override;

    // Creates the viewer, viewport region and render actions the first time,
    // then runs the start-up load. Later calls only load again.
    void OnInitialUpdate();
    // Build, node positions, box layout and scene; a data source that cannot
    // be read is reported and leaves an empty scene.
    void OnStartupLoad();
    // Gives m_pSceneRoot to the viewer.
    void ShowSceneRoot();
    // Highlight mode 0 renders with the box highlight, modes 1 and 2 plainly.
    void UseRenderActionFor(int highlightMode);

    CBoxRep* GetBox() const { return m_pBox.get(); }
    SoQtExaminerViewer* GetViewer() const { return m_pViewer; }
    SoNode* GetSceneRoot() const { return m_pSceneRoot.get(); }
    SoBoxHighlightRenderAction* GetBoxHighlightAction() const { return m_pBoxHighlightAction.get(); }
    SoGLRenderAction* GetGLAction() const { return m_pGLAction.get(); }

    // The result panes of the search panel.
    void SetNodeNameText(const std::string& text);
    void SetTextSourceText(const std::string& text);

    // ISceneHost
    const ModeFlags& GetModeFlags() const override { return m_flags; }
    const SbViewportRegion& GetViewportRegion() const override;
    void RedrawOnSelectionChange(SoSelection* selection) override;

private:
    void CreateViewer();
    SbVec2s CurrentViewerSize();

    CTarnwickDoc& m_doc;
    const ModeFlags& m_flags;
    CSearchPanel& m_panel;
    IUserPrompt& m_prompt;

    SoQtExaminerViewer* m_pViewer = nullptr;
    std::unique_ptr<SbViewportRegion> m_pViewport;
    std::unique_ptr<SoBoxHighlightRenderAction> m_pBoxHighlightAction;
    std::unique_ptr<CBoxRep> m_pBox;
    std::unique_ptr<SoGLRenderAction> m_pGLAction;
    CoinPtr<SoNode> m_pSceneRoot;
};
