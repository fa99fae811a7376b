#include "TarnwickView.h"

#include <utility>

#include <QLayout>
#include <QWindow>
#include <QMouseEvent>
#include <climits>
#include <QVBoxLayout>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/actions/SoBoxHighlightRenderAction.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoSeparator.h>

#include "SearchPanel.h"
#include "TarnwickDoc.h"
#include "UserPrompt.h"

#include "BoxRep.h"
#include "SphereVision.h"
#include "StartupLoad.h"

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
    m_pViewer = new SoQtExaminerViewer(this, nullptr, TRUE, SoQtFullViewer::BUILD_ALL, SoQtViewer::BROWSER);
    layout()->addWidget(m_pViewer->getWidget());
    m_pViewer->setEventCallback(&CTarnwickView::ViewerEvent, this);
    // A picture drawn while the window manager is still placing the window
    // can be lost: draw again whenever the window or the drawing area is
    // exposed.
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

void CTarnwickView::OnInitialUpdate() {
    if (!m_pViewer) {
        CreateViewer();
    }
    OnStartupLoad();
}

void CTarnwickView::OnStartupLoad() {
    StartupLoadResult result = RunStartupLoad(m_doc, m_doc.m_pGraph, *this);
    AdoptRepresentation(std::move(result.box));
    if (const int repaired = m_doc.GetLineBreakRepairs(); repaired > 0) {
        emit statusText(LineBreakRepairText(repaired));
    }
    if (!result.dataLoaded) {
        const std::string& error = m_doc.GetDataError();
        m_prompt.ShowMessage(error.empty() ? "The interaction data could not be read." : error);
    }
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
    m_pSceneRoot.reset(rep->GetRoot());
    ShowSceneRoot();
    RedrawOnSelectionChange(rep->GetSelection());
    // Released here, after the viewer let go of its scene.
    std::unique_ptr<Rep> replaced = std::exchange(slot, std::move(rep));
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
    if (event->type() == QEvent::Expose && m_pViewer) {
        m_pViewer->scheduleRedraw();
    }
    return QWidget::eventFilter(watched, event);
}

SbBool CTarnwickView::ViewerEvent(void* data, QEvent* event) {
    static_cast<CTarnwickView*>(data)->OnViewerMouse(event);
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
