#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <Inventor/SbLinear.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>

#include "CoinPtr.h"

class CNode;
class CRepresentation;

// The scene side of the uncluttered label mode: finds the labels of a
// representation, places them on screen for its camera, and shows only
// those DeclutterLabels keeps. A hidden label keeps its node, name and
// place; only its text is emptied, so the scene keeps its shape.
class CSceneLabelDeclutter {
public:
    CSceneLabelDeclutter() = default;
    ~CSceneLabelDeclutter() { ShowAll(); }
    CSceneLabelDeclutter(const CSceneLabelDeclutter&) = delete;
    CSceneLabelDeclutter& operator=(const CSceneLabelDeclutter&) = delete;

    // Recomputes which labels of `rep` show in a viewport of `size` pixels;
    // labels of selected spheres always show. `graph` gives the degrees.
    // Returns how many labels show.
    int Apply(const CRepresentation& rep, const CNode* graph, const SbVec2s& size);
    // Every label of the representation last applied to shows again.
    void ShowAll();
    size_t LabelCount() const { return m_labels.size(); }

    // Text width in pixels per character, relative to the font size.
    static constexpr float kCharWidth = 0.6f;

private:
    struct Label {
        CoinPtr<SoText2> text;
        std::string name;
        SbVec3f at;
        float width = 0;
        int degree = 0;
        bool shown = true;
    };
    void Gather(const CRepresentation& rep, const CNode* graph, const SbVec2s& size);
    void SetShown(Label& label, bool shown);

    CoinPtr<SoSeparator> m_labelRoot;
    std::uint32_t m_labelRootId = 0;
    float m_fontSize = 12.0f;
    std::vector<Label> m_labels;
};
