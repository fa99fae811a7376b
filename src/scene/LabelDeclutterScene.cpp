#include "LabelDeclutterScene.h"

#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/lists/SoPathList.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>

#include "LabelDeclutter.h"
#include "LinkText.h"
#include "Node.h"
#include "Representation.h"
#include "SceneNames.h"

namespace {

constexpr const char* kTextPrefix = "text_";

// Links out and in: how well connected the node bearing `name` is.
int DegreeOf(const CNode* graph, const std::string& name) {
    int circle = 0, index = 0;
    if (!graph || !ParsePosition(graph->LookUp(name), circle, index)) {
        return 0;
    }
    const MoleculeRecord* m = graph->GetMolecule(circle, index);
    return m ? static_cast<int>(ParseLinkEntries(m->links).size() + ParseBackLinks(m->backLinks).size()) : 0;
}

// Characters, not bytes, of a UTF-8 text.
size_t CharCount(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text) {
        n += (c & 0xC0) != 0x80;
    }
    return n;
}

}  // namespace

void CSceneLabelDeclutter::Gather(const CRepresentation& rep, const CNode* graph, const SbVec2s& size) {
    ShowAll();
    m_labels.clear();
    m_labelRoot.reset(rep.GetLabelRoot());
    if (!m_labelRoot) {
        return;
    }
    SoSearchAction findFont;
    findFont.setType(SoFont::getClassTypeId());
    findFont.apply(m_labelRoot.get());
    if (SoPath* path = findFont.getPath()) {
        m_fontSize = static_cast<SoFont*>(path->getTail())->size.getValue();
    }
    SoSearchAction search;
    search.setType(SoText2::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(m_labelRoot.get());
    const SoPathList& paths = search.getPaths();
    SoGetMatrixAction matrix{SbViewportRegion(size)};
    m_labels.reserve(static_cast<size_t>(paths.getLength()));
    for (int i = 0; i < paths.getLength(); ++i) {
        Label label;
        label.text.reset(static_cast<SoText2*>(paths[i]->getTail()));
        const std::string nodeName = GetSceneName(label.text.get());
        label.name = nodeName.compare(0, 5, kTextPrefix) == 0 ? nodeName.substr(5) : nodeName;
        matrix.apply(paths[i]);
        matrix.getMatrix().multVecMatrix(SbVec3f(0, 0, 0), label.at);
        label.width = kCharWidth * m_fontSize * static_cast<float>(CharCount(label.name));
        label.degree = DegreeOf(graph, label.name);
        m_labels.push_back(std::move(label));
    }
}

void CSceneLabelDeclutter::SetShown(Label& label, bool shown) {
    if (label.shown != shown) {
        label.shown = shown;
        label.text->string.setValue(shown ? label.name.c_str() : "");
    }
}

void CSceneLabelDeclutter::ShowAll() {
    for (Label& label : m_labels) {
        SetShown(label, true);
    }
    if (m_labelRoot) {
        m_labelRootId = m_labelRoot->getNodeId();
    }
}

int CSceneLabelDeclutter::Apply(const CRepresentation& rep, const CNode* graph, const SbVec2s& size) {
    // A new scene, or labels rebuilt or renamed since: find them again.
    if (rep.GetLabelRoot() != m_labelRoot.get() || !m_labelRoot || m_labelRoot->getNodeId() != m_labelRootId) {
        Gather(rep, graph, size);
    }
    const SoPerspectiveCamera* camera = rep.GetCamera();
    if (!camera || size[0] <= 0 || size[1] <= 0) {
        return 0;
    }
    const float width = size[0], height = size[1];
    SbViewVolume volume = camera->getViewVolume(width / height);
    // As rendering adjusts the camera to a viewport taller than wide.
    if (camera->viewportMapping.getValue() == SoCamera::ADJUST_CAMERA && width < height) {
        volume.scale(height / width);
    }
    SbVec3f ahead;
    camera->orientation.getValue().multVec(SbVec3f(0, 0, -1), ahead);
    const SbVec3f eye = camera->position.getValue();

    std::vector<ScreenLabel> rects(m_labels.size());
    for (size_t i = 0; i < m_labels.size(); ++i) {
        const Label& label = m_labels[i];
        ScreenLabel& r = rects[i];
        r.degree = label.degree;
        r.keep = rep.IsNameSelected(label.name);
        // The viewer moves its clipping planes to the scene each frame: in
        // front of the eye is on screen.
        if ((label.at - eye).dot(ahead) <= 0.0f) {
            r.x0 = r.x1 = r.y0 = r.y1 = -1.0f;  // behind the eye: never on screen
            r.keep = false;
            continue;
        }
        SbVec3f screen;
        volume.projectToScreen(label.at, screen);
        r.x0 = screen[0] * width;
        r.x1 = r.x0 + label.width;
        r.y0 = screen[1] * height - 0.25f * m_fontSize;  // descenders
        r.y1 = screen[1] * height + m_fontSize;
    }
    const std::vector<bool> shown = DeclutterLabels(rects, width, height);

    // One notification for the whole change, not one per label.
    const SbBool notified = m_labelRoot->enableNotify(FALSE);
    int count = 0;
    bool changed = false;
    for (size_t i = 0; i < m_labels.size(); ++i) {
        changed = changed || m_labels[i].shown != shown[i];
        SetShown(m_labels[i], shown[i]);
        count += shown[i] ? 1 : 0;
    }
    m_labelRoot->enableNotify(notified);
    if (changed) {
        m_labelRoot->touch();
    }
    m_labelRootId = m_labelRoot->getNodeId();
    return count;
}
