#include "TarnwickView.h"

#include <utility>
#include <vector>

#include <QLayout>
#include <QMainWindow>
#include <QWindow>
#include <QMouseEvent>
#include <QTimer>
#include <climits>
#include <QVBoxLayout>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/actions/SoBoxHighlightRenderAction.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include "SearchPanel.h"
#include "TarnwickDoc.h"
#include "UserPrompt.h"

#include "BoxRep.h"
#include "CameraFit.h"
#include "MotionViewer.h"
#include "SphereVision.h"
#include "StartupLoad.h"
#include "StartupLoadRunner.h"
#include "StartupLoadSteps.h"

CTarnwickView::CTarnwickView(CTarnwickDoc& doc, const ModeFlags& flags, CSearchPanel& panel, IUserPrompt& prompt,
                             QWidget* parent)
    : QWidget(parent), m_doc(doc), m_flags(flags), m_panel(panel), m_prompt(prompt) {
    setObjectName(QStringLiteral("tarnwickView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

CTarnwickView::~CTarnwickView() {
    // The viewer goes before the scene and the render actions it uses, and
    // stops watching the selection node first.
    if (m_pViewer) {
        m_pViewer->redrawOnSelectionChange(nullptr);
    }
    delete m_pViewer;
    m_pViewer = nullptr;
}

void CTarnwickView::CreateViewer() {
    // Frames while the camera moves leave out what a big scene cannot draw in time.
    m_pViewer = new CMotionViewer(this, [this]() -> const CRepresentation* {
        return m_pBuilding ? m_pBuilding : GetCommandTarget();
    });
    layout()->addWidget(m_pViewer->getWidget());
    m_pViewer->setEventCallback(&CTarnwickView::ViewerEvent, this);
    // A picture drawn while the window manager is still placing the window
    // can be lost: draw again whenever the window or the drawing area is
    // exposed or changes size.
    for (QWidget* exposed : {window(), m_pViewer->getGLWidget()}) {
        exposed->winId();
        if (QWindow* handle = exposed->windowHandle()) {
            handle->installEventFilter(this);
        }
    }

    m_pSceneRoot.reset(new SoSeparator);
    m_pViewer->setSceneGraph(m_pSceneRoot.get());
    m_pViewer->show();

    // The region keeps the viewer's size of this moment; later resizes do
    // not change it.
    m_pViewport = std::make_unique<SbViewportRegion>(CurrentViewerSize());

    m_pBoxHighlightAction = std::make_unique<SoBoxHighlightRenderAction>(*m_pViewport);
    m_pBoxHighlightAction->setColor(SbColor(1.0f, 1.0f, 1.0f));
    m_pBoxHighlightAction->setTransparencyType(SoGLRenderAction::DELAYED_ADD);

    m_pGLAction = std::make_unique<SoGLRenderAction>(*m_pViewport);
    m_pGLAction->setTransparencyType(SoGLRenderAction::DELAYED_ADD);

    UseRenderActionFor(m_flags.m_bViewWithBox ? 0 : 1);
}

SoQtExaminerViewer* CTarnwickView::GetViewer() const { return m_pViewer; }

SbVec2s CTarnwickView::CurrentViewerSize() {
    // Lay the view out now so that the drawing area has its real size.
    layout()->activate();
    if (QLayout* inner = m_pViewer->getWidget()->layout()) {
        inner->activate();
    }
    const QWidget* area = m_pViewer->getGLWidget();
    const qreal ratio = area->devicePixelRatioF();
    auto clamp = [](qreal v) { return static_cast<short>(qBound<qreal>(1, v, SHRT_MAX)); };
    return SbVec2s(clamp(area->width() * ratio), clamp(area->height() * ratio));
}

void CTarnwickView::PrepareViewer() {
    if (!m_pViewer) {
        CreateViewer();
        m_bFitAtStart = true;
    }
}

void CTarnwickView::OnInitialUpdate() {
    PrepareViewer();
    OnStartupLoad();
}

void CTarnwickView::OnStartupLoad() { LoadDataSource(m_doc.m_setInteraction.GetConnect(), false); }

bool CTarnwickView::LoadDataSource(const std::string& connect, bool keepOnFailure) {
    // A scene still being let go goes first: the new one needs its memory.
    m_release.Finish();
    CStartupLoadSteps steps(m_doc, m_doc.m_pGraph, *this, connect);
    steps.LeaveCameraToCaller();
    steps.SetSceneRelease([this](CoinPtr<SoNode> scene) { ReleaseLater(std::move(scene)); });
    CStartupLoadRunner runner(qobject_cast<QMainWindow*>(window()), this);
    StartupLoadResult result;
    std::string error;
    // The molecules are shown as soon as they exist; a load that stops
    // short shows again what was shown before. Commands stay held until
    // the end, so nothing acts on the scene half-built.
    CoinPtr<SoNode> previous = m_pSceneRoot;
    std::unique_ptr<CLayoutExtent> extent;
    CStartupLoadRunner::SceneHooks hooks;
    hooks.moleculesReady = [&] {
        extent = steps.TakeExtent();
        if (CBoxRep* box = steps.SceneInProgress(); box && extent) {
            ShowWhileBuilding(*box, *extent);
        }
    };
    hooks.stopped = [&] {
        EndShowWhileBuilding();
        if (m_pSceneRoot.get() != previous.get()) {
            m_pSceneRoot = previous;
            ShowSceneRoot();
        }
    };
    const CStartupLoadRunner::Outcome outcome = runner.Run(steps, keepOnFailure, result, error, hooks);
    if (outcome != CStartupLoadRunner::Outcome::Loaded) {
        // The shown scene stays; its selection node drives the redraws again.
        if (CRepresentation* shown = GetCommandTarget()) {
            RedrawOnSelectionChange(shown->GetSelection());
        }
        if (outcome == CStartupLoadRunner::Outcome::Failed) {
            emit statusText(tr("The data source could not be read; the previous pathway is kept."));
            m_prompt.ShowMessage(error.empty() ? "The interaction data could not be read." : error);
        } else {
            emit statusText(tr("Loading cancelled; the previous pathway is kept."));
        }
        return false;
    }
    // Let go of the previous scene here: held until the end of this
    // function, it would die there all at once, before the new picture is
    // drawn, instead of a slice at a time after it.
    previous.reset();
    AdoptRepresentation(std::move(result.box));
    EndShowWhileBuilding();
    if (extent && m_pBox) {
        // Refitted when the drawing area changes size, until the camera moves.
        m_bFitAtStart = true;
        m_pStartCamera.reset(m_pBox->GetCamera());
        m_pStartExtent = std::move(extent);
        m_fittedPosition = m_pStartCamera->position.getValue();
        // Fitted again only when the drawing area changed size while loading.
        if (m_pViewer && m_pViewer->getViewportRegion().getViewportSizePixels() != m_fittedPixels) {
            FitStartPicture();
        }
    }
    if (const int repaired = m_doc.GetLineBreakRepairs(); repaired > 0) {
        emit statusText(LineBreakRepairText(repaired));
    }
    if (!result.dataLoaded) {
        const std::string& failure = m_doc.GetDataError();
        m_prompt.ShowMessage(failure.empty() ? "The interaction data could not be read." : failure);
    }
    emit startupLoaded(result.positionsRead);
    return result.dataLoaded;
}

QString CTarnwickView::LineBreakRepairText(int rows) {
    return rows == 1 ? tr("1 row had line breaks in member names; replaced by _")
                     : tr("%1 rows had line breaks in member names; replaced by _").arg(rows);
}

void CTarnwickView::ShowSceneRoot() {
    if (m_pViewer) {
        m_pViewer->setSceneGraph(m_pSceneRoot.get());
    }
}

void CTarnwickView::UseRenderActionFor(int highlightMode) {
    if (!m_pViewer) {
        return;
    }
    SoGLRenderAction* action = highlightMode == 0 ? m_pBoxHighlightAction.get() : m_pGLAction.get();
    if (m_pViewer->getGLRenderAction() != action) {
        m_pViewer->setGLRenderAction(action);
    }
}

void CTarnwickView::SetNodeNameText(const std::string& text) { m_panel.SetNodeNameText(QString::fromStdString(text)); }

void CTarnwickView::SetTextSourceText(const std::string& text) {
    m_panel.SetTextSourceText(QString::fromStdString(text));
}

void CTarnwickView::ShowMessage(const std::string& text) { m_prompt.ShowMessage(text); }

template <class Rep>
void CTarnwickView::Adopt(std::unique_ptr<Rep>& slot, std::unique_ptr<Rep> rep) {
    if (!rep) {
        return;
    }
    // A scene shown while it was built is on screen already.
    if (m_pSceneRoot.get() != rep->GetRoot()) {
        m_pSceneRoot.reset(rep->GetRoot());
        ShowSceneRoot();
    }
    RedrawOnSelectionChange(rep->GetSelection());
    // Released after the viewer let go of its scene: the representation
    // now, its scene over the next turns of the event loop.
    if (std::unique_ptr<Rep> replaced = std::exchange(slot, std::move(rep))) {
        CoinPtr<SoNode> scene(replaced->GetRoot());
        replaced.reset();
        ReleaseLater(std::move(scene));
    }
}

void CTarnwickView::ReleaseLater(CoinPtr<SoNode> scene) {
    m_release.Add(std::move(scene), m_pViewer ? m_pViewer->getGLWidget() : nullptr);
}

void CTarnwickView::AdoptRepresentation(std::unique_ptr<CBoxRep> box) { Adopt(m_pBox, std::move(box)); }

void CTarnwickView::AdoptRepresentation(std::unique_ptr<CSphereVision> sphere) {
    Adopt(m_pSphere, std::move(sphere));
}

CRepresentation* CTarnwickView::GetCommandTarget() const {
    const SoNode* shown = m_pSceneRoot.get();
    if (m_pSphere && shown == m_pSphere->GetRoot()) {
        return m_pSphere.get();
    }
    if (m_pBox && shown == m_pBox->GetRoot()) {
        return m_pBox.get();
    }
    return nullptr;
}

bool CTarnwickView::eventFilter(QObject* watched, QEvent* event) {
    if (m_pViewer && (event->type() == QEvent::Expose || event->type() == QEvent::Resize)) {
        if (!m_bDrawPending) {
            m_bDrawPending = true;
            QTimer::singleShot(0, this, &CTarnwickView::DrawAfterExpose);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CTarnwickView::DrawAfterExpose() {
    m_bDrawPending = false;
    QWidget* area = m_pViewer ? m_pViewer->getGLWidget() : nullptr;
    const QWindow* handle = area ? area->windowHandle() : nullptr;
    if (!handle || !handle->isExposed()) {
        return;
    }
    // The software GL driver takes the drawing area's size for its back
    // buffer when a frame is swapped, so the first frame after the area
    // grew can reach the screen at the old size (a black corner, the rest
    // never drawn), and nothing asks for another. Draw a second frame,
    // which gets the buffer of the real size, whenever the size changed.
    m_pViewer->render();
    if (area->size() != m_drawnSize) {
        m_drawnSize = area->size();
        FitStartPicture();
        m_pViewer->render();
    }
}

void CTarnwickView::ShowWhileBuilding(CBoxRep& box, const CLayoutExtent& extent) {
    if (!m_pViewer) {
        return;
    }
    // Placed once, for the finished scene: labels and edges arrive without
    // moving it.
    FitCameraToLayout(*box.GetCamera(), extent, m_pViewer->getViewportRegion(), kStartFill);
    m_fittedPixels = m_pViewer->getViewportRegion().getViewportSizePixels();
    // Frames draw the molecules as points until the scene is complete;
    // the extent has them already.
    std::vector<SbVec3f> places;
    std::vector<SbColor> colours;
    SbBox3f bounds;
    for (const CLayoutExtent::Sphere& s : extent.Spheres()) {
        const SbVec3f reach(s.radius, s.radius, s.radius);
        bounds.extendBy(s.centre - reach);
        bounds.extendBy(s.centre + reach);
        if (s.shown) {
            places.push_back(s.centre);
            colours.push_back(s.colour);
        }
    }
    m_pViewer->UseMoleculePoints(box, places, colours, bounds);
    m_pBuilding = &box;
    m_pViewer->SetBuilding(true);
    m_pSceneRoot.reset(box.GetRoot());
    ShowSceneRoot();
    RedrawOnSelectionChange(box.GetSelection());
    m_pViewer->saveHomePosition();
}

void CTarnwickView::EndShowWhileBuilding() {
    m_pBuilding = nullptr;
    if (m_pViewer) {
        m_pViewer->SetBuilding(false);
    }
}

void CTarnwickView::FitStartPicture() {
    if (!m_bFitAtStart || !m_pStartCamera || !m_pStartExtent) {
        return;
    }
    // Only the start-up picture, and only until the camera moved for
    // another reason.
    CBoxRep* box = m_pBox.get();
    SoPerspectiveCamera* camera = m_pStartCamera.get();
    if (!box || GetCommandTarget() != box || box->GetCamera() != camera ||
        camera->position.getValue() != m_fittedPosition) {
        m_bFitAtStart = false;
        return;
    }
    // Labels keep their size in pixels: fitted to a drawing area that is
    // still small or that the viewer has not taken up yet, they would push
    // the camera far away. Wait for the area's real size.
    const SbViewportRegion& region = m_pViewer->getViewportRegion();
    const SbVec2s pixels = region.getViewportSizePixels();
    const QWidget* area = m_pViewer->getGLWidget();
    const qreal ratio = area->devicePixelRatioF();
    if (pixels[0] != qRound(area->width() * ratio) || pixels[1] != qRound(area->height() * ratio) ||
        pixels[0] < kFitMinimumPixels || pixels[1] < kFitMinimumPixels) {
        return;
    }
    if (FitCameraToLayout(*camera, *m_pStartExtent, region, kStartFill)) {
        m_pViewer->saveHomePosition();
        m_fittedPosition = camera->position.getValue();
        m_fittedPixels = pixels;
    }
}

bool CTarnwickView::FitBoxPicture() {
    CBoxRep* box = m_pBox.get();
    SoPerspectiveCamera* camera = box ? box->GetCamera() : nullptr;
    if (!camera || !m_pViewer || GetCommandTarget() != box) {
        return false;
    }
    // The tilted start seen through viewAll fills about a third of the
    // view: bring the whole pathway up to nearly the view's edges, as the
    // start-up load does. Home comes back to this picture.
    if (!FitCameraToLayout(*camera, *BoxLayoutExtent(*box, true), m_pViewer->getViewportRegion(), kStartFill)) {
        return false;
    }
    m_pViewer->saveHomePosition();
    return true;
}

SbBool CTarnwickView::ViewerEvent(void* data, QEvent* event) {
    auto* view = static_cast<CTarnwickView*>(data);
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress) {
        view->m_bFitAtStart = false;  // the user took the camera
    }
    view->OnViewerMouse(event);
    return FALSE;  // the viewer still rotates, zooms and pans as ever
}

void CTarnwickView::OnViewerMouse(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return;
    }
    // In the viewer's pick mode the selection node takes the click itself.
    if (!m_pViewer || !m_pViewer->isViewing()) {
        m_bButtonDown = false;
        return;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress) {
        m_bButtonDown = mouse->button() == Qt::LeftButton;
        m_pressAt = mouse->pos();
        m_pressTime.start();
        return;
    }
    if (mouse->button() != Qt::LeftButton || !m_bButtonDown) {
        return;
    }
    m_bButtonDown = false;
    if ((mouse->pos() - m_pressAt).manhattanLength() > kClickSlop || m_pressTime.elapsed() > kClickMilliseconds) {
        return;  // a drag: the viewer rotated the scene
    }
    CRepresentation* shown = GetCommandTarget();
    if (!shown) {
        return;
    }
    // Coin counts pixels from the bottom left, in device pixels.
    const SbViewportRegion& region = m_pViewer->getViewportRegion();
    const qreal ratio = m_pViewer->getGLWidget()->devicePixelRatioF();
    const int height = region.getViewportSizePixels()[1];
    const int x = static_cast<int>(mouse->pos().x() * ratio);
    const int y = height - 1 - static_cast<int>(mouse->pos().y() * ratio);
    if (shown->ClickAt(SbVec2s(static_cast<short>(x), static_cast<short>(y)), region)) {
        emit sphereClicked(QString::fromStdString(shown->GetCurrentName()));
    }
}

const SbViewportRegion& CTarnwickView::GetViewportRegion() const {
    static const SbViewportRegion unset;
    return m_pViewport ? *m_pViewport : unset;
}

void CTarnwickView::RedrawOnSelectionChange(SoSelection* selection) {
    if (m_pViewer) {
        m_pViewer->redrawOnSelectionChange(selection);
    }
}
