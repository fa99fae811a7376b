#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SbColor.h>
#include <Inventor/SbVec3f.h>

class SbMatrix;
class SbViewportRegion;
class SoCallbackAction;
class SoFont;
class SoNode;
class SoPerspectiveCamera;
class SoSphere;

// Moves the camera, keeping the direction it looks in, so that what
// `scene` draws, seen through `region`, just fits: `fill` is the share of
// the view's width or height it takes on the tighter side (1 touches the
// edges). viewAll fits the bounding sphere, which for a flat pathway seen
// at an angle leaves most of the view empty. Returns
// false, leaving the camera alone, when the scene has nothing to show.
bool FitCameraToScene(SoPerspectiveCamera& camera, SoNode* scene, const SbViewportRegion& region, float fill);

// What the start picture's fit needs, read from the molecule groups alone,
// before any label or edge exists: each sphere, and where each molecule's
// label will start and how many pixels wide it will be. Edges run between
// spheres and add nothing that matters to the fit.
class CLayoutExtent {
public:
    // `font` is the labels' font; a label starts `labelOffset` from the
    // centre of its sphere.
    CLayoutExtent(const SoFont& font, const SbVec3f& labelOffset);
    ~CLayoutExtent();
    CLayoutExtent(const CLayoutExtent&) = delete;
    CLayoutExtent& operator=(const CLayoutExtent&) = delete;

    // Adds the spheres of one molecule group that nothing above moves; the
    // label of each bears the sphere's name.
    void Add(SoNode* group);
    // One sphere placed by `model`, and its label.
    // `colour` and `shown` (not fully transparent) are what a picture of
    // the molecules as points needs.
    void AddSphere(const SbMatrix& model, const SoSphere& sphere, const SbColor& colour = SbColor(1, 1, 1),
                   bool shown = true);
    // One sphere that nothing turns or scales, centred at `centre`, its
    // label bearing `name`: what a group would give, without the group.
    void AddMolecule(const SbVec3f& centre, float radius, const std::string& name, const SbColor& colour, bool shown);
    bool Empty() const { return m_spheres.empty(); }

    struct Sphere {
        SbVec3f centre;
        float radius;
        SbColor colour;
        bool shown;
    };
    struct Label {
        SbVec3f anchor;
        float width;  // pixels
    };
    const std::vector<Sphere>& Spheres() const { return m_spheres; }
    const std::vector<Label>& Labels() const { return m_labels; }
    // Pixels a label reaches above and below its anchor's line.
    float Ascent() const { return m_ascent; }
    float Descent() const { return m_descent; }
    // The width of `text` in the label font: the characters' advances,
    // each measured once.
    float TextWidth(const std::string& text);

private:
    struct Probe;
    float Measure(const std::string& text, float* low = nullptr, float* high = nullptr);

    SbVec3f m_labelOffset;
    std::unique_ptr<Probe> m_probe;
    std::unique_ptr<SoCallbackAction> m_collect;
    std::unordered_map<std::string, float> m_advances;
    float m_ascent = 0.0f;
    float m_descent = 0.0f;
    std::vector<Sphere> m_spheres;
    std::vector<Label> m_labels;
};

// FitCameraToScene for the scene those molecules and labels will make,
// without walking it: the same camera keeps its direction and takes the
// same share of the view.
bool FitCameraToLayout(SoPerspectiveCamera& camera, const CLayoutExtent& extent, const SbViewportRegion& region,
                       float fill);
