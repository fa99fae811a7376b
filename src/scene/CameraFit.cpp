#include "CameraFit.h"

#include <algorithm>
#include <array>
#include <limits>

#include <Inventor/SbBox3f.h>
#include <Inventor/SbLinear.h>
#include <Inventor/SbVec3d.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPrimitiveVertex.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoMatrixTransform.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include "CoinPtr.h"
#include "SceneNames.h"

namespace {

// What the fit needs of the drawn points, taken as they come rather than
// kept (a 100k scene draws hundreds of millions of triangle corners): their
// box, and for each fixed direction the largest projection on it.
class PointExtent {
public:
    enum Direction { kLow0, kLow1, kHigh0, kHigh1, kBehind, kDirections };

    explicit PointExtent(const std::array<SbVec3d, kDirections>& directions) : m_directions(directions) {
        m_highest.fill(-std::numeric_limits<double>::max());
    }

    void Add(const SbVec3f& point) {
        m_box.extendBy(point);
        const SbVec3d p(point[0], point[1], point[2]);
        for (size_t d = 0; d < kDirections; ++d) {
            m_highest[d] = std::max(m_highest[d], p.dot(m_directions[d]));
        }
        ++m_count;
    }

    bool IsEmpty() const { return m_count == 0; }
    const SbBox3f& Box() const { return m_box; }
    // The largest projection on direction `d` of a point's offset from `origin`.
    double Highest(Direction d, const SbVec3f& origin) const {
        return m_highest[d] - SbVec3d(origin[0], origin[1], origin[2]).dot(m_directions[d]);
    }

private:
    std::array<SbVec3d, kDirections> m_directions;
    std::array<double, kDirections> m_highest{};
    SbBox3f m_box;
    size_t m_count = 0;
};

// Every point the scene draws: the corners of its shapes' triangles and
// of its screen-aligned labels, in world space.
void AddTriangle(void* data, SoCallbackAction* action, const SoPrimitiveVertex* a, const SoPrimitiveVertex* b,
                 const SoPrimitiveVertex* c) {
    auto* points = static_cast<PointExtent*>(data);
    const SbMatrix& model = action->getModelMatrix();
    for (const SoPrimitiveVertex* v : {a, b, c}) {
        SbVec3f world;
        model.multVecMatrix(v->getPoint(), world);
        points->Add(world);
    }
}

// Measures labels one by one under the scene's camera, the label's font
// and its model matrix. A measure along the label's path from the root
// would step past every sibling before each group on the way: over all
// labels that grows with the square of their number (minutes at 100k).
class LabelMeasure {
public:
    LabelMeasure(const SbViewportRegion& region, PointExtent& points)
        : m_points(points), m_measure(region), m_context(new SoSeparator), m_font(new SoFont),
          m_place(new SoMatrixTransform) {
        m_context->addChild(m_font.get());
        m_context->addChild(m_place.get());
    }
    ~LabelMeasure() { m_context->removeAllChildren(); }
    LabelMeasure(const LabelMeasure&) = delete;
    LabelMeasure& operator=(const LabelMeasure&) = delete;

    static SoCallbackAction::Response NoteCamera(void* data, SoCallbackAction* /*action*/, const SoNode* camera) {
        auto* self = static_cast<LabelMeasure*>(data);
        if (self->m_context->getNumChildren() > 2) {
            self->m_context->removeChild(0);
        }
        self->m_context->insertChild(const_cast<SoNode*>(camera), 0);
        return SoCallbackAction::CONTINUE;
    }

    static SoCallbackAction::Response AddLabel(void* data, SoCallbackAction* action, const SoNode* label) {
        auto* self = static_cast<LabelMeasure*>(data);
        // A label's size is in pixels: its box depends on the camera.
        if (self->m_font->name.getValue() != action->getFontName()) {
            self->m_font->name.setValue(action->getFontName());
        }
        if (self->m_font->size.getValue() != action->getFontSize()) {
            self->m_font->size.setValue(action->getFontSize());
        }
        self->m_place->matrix.setValue(action->getModelMatrix());
        self->m_context->addChild(const_cast<SoNode*>(label));
        self->m_measure.apply(self->m_context.get());
        self->m_context->removeChild(self->m_context->getNumChildren() - 1);
        const SbBox3f box = self->m_measure.getBoundingBox();
        if (!box.isEmpty()) {
            const SbVec3f& lo = box.getMin();
            const SbVec3f& hi = box.getMax();
            for (int corner = 0; corner < 8; ++corner) {
                self->m_points.Add(
                    SbVec3f((corner & 1) ? hi[0] : lo[0], (corner & 2) ? hi[1] : lo[1], (corner & 4) ? hi[2] : lo[2]));
            }
        }
        return SoCallbackAction::CONTINUE;
    }

private:
    PointExtent& m_points;
    SoGetBoundingBoxAction m_measure;
    CoinPtr<SoSeparator> m_context;  // [the scene's camera,] font, model matrix, then the label measured
    CoinPtr<SoFont> m_font;
    CoinPtr<SoMatrixTransform> m_place;
};

// Lowest and highest of the values a point must stay clear of on one side
// of the view; see FitOnce.
struct Span {
    float low = 0.0f;
    float high = 0.0f;
};

// The camera's sideways, upward and forward directions.
struct CameraAxes {
    explicit CameraAxes(const SoPerspectiveCamera& camera) {
        const SbRotation orientation = camera.orientation.getValue();
        orientation.multVec(SbVec3f(1.0f, 0.0f, 0.0f), axis[0]);
        orientation.multVec(SbVec3f(0.0f, 1.0f, 0.0f), axis[1]);
        orientation.multVec(SbVec3f(0.0f, 0.0f, -1.0f), ahead);
    }
    SbVec3f axis[2];
    SbVec3f ahead;
};

// Places the camera for the points `feed` hands to the extent it is given.
template <class Feed>
bool FitWith(SoPerspectiveCamera& camera, const SbViewportRegion& region, float fill, Feed&& feed) {
    // Half the view's width and height per unit of distance, as the camera
    // maps them onto this viewport (Coin widens the narrow side itself).
    const SbViewVolume volume = camera.getViewVolume(region.getViewportAspectRatio());
    const float nearDist = volume.getNearDist();
    if (nearDist <= 0.0f) {
        return false;
    }
    const float slope[2] = {volume.getWidth() / 2.0f / nearDist * fill, volume.getHeight() / 2.0f / nearDist * fill};

    const CameraAxes axes(camera);
    const SbVec3f* axis = axes.axis;
    const SbVec3f& ahead = axes.ahead;

    // A point at sideways offset s and depth z beyond the centre stays in
    // view from distance D before the centre with the camera shifted
    // sideways by a when |s - a| <= (D + z) * slope, that is
    // s - z*slope - D*slope <= a <= s + z*slope + D*slope. The nearest D
    // meets both bounds with a in the middle. Both bounds, and the depth,
    // are projections of the point's offset on fixed directions.
    auto direction = [](const SbVec3f& v) { return SbVec3d(v[0], v[1], v[2]); };
    const PointExtent::Direction low[2] = {PointExtent::kLow0, PointExtent::kLow1};
    const PointExtent::Direction high[2] = {PointExtent::kHigh0, PointExtent::kHigh1};
    std::array<SbVec3d, PointExtent::kDirections> directions;
    for (int side = 0; side < 2; ++side) {
        directions[low[side]] = direction(axis[side] - ahead * slope[side]);
        directions[high[side]] = -direction(axis[side] + ahead * slope[side]);
    }
    directions[PointExtent::kBehind] = -direction(ahead);

    PointExtent points(directions);
    feed(points);
    if (points.IsEmpty()) {
        return false;
    }
    const SbBox3f& box = points.Box();
    const SbVec3f centre = box.getCenter();
    Span span[2];
    for (int side = 0; side < 2; ++side) {
        span[side].low = static_cast<float>(points.Highest(low[side], centre));
        span[side].high = static_cast<float>(-points.Highest(high[side], centre));
    }
    const float nearestDepth = static_cast<float>(-points.Highest(PointExtent::kBehind, centre));
    float distance = 0.0f;
    float shift[2];
    for (int side = 0; side < 2; ++side) {
        distance = std::max(distance, (span[side].low - span[side].high) / (2.0f * slope[side]));
        shift[side] = (span[side].low + span[side].high) / 2.0f;
    }
    // Never inside the scene, whatever the angles.
    const float radius = (box.getMax() - box.getMin()).length() / 2.0f;
    distance = std::max(distance, -nearestDepth + 0.01f * std::max(radius, 1e-3f));

    camera.position.setValue(centre + axis[0] * shift[0] + axis[1] * shift[1] - ahead * distance);
    camera.focalDistance.setValue(distance);
    camera.nearDistance.setValue(std::max(distance - radius, distance * 0.01f));
    camera.farDistance.setValue(distance + radius);
    return true;
}

bool FitOnce(SoPerspectiveCamera& camera, SoNode* scene, const SbViewportRegion& region, float fill) {
    // The drawn points, not the bounding box: an edge's box, turned with
    // the edge, reaches far beyond what the edge covers.
    return FitWith(camera, region, fill, [&](PointExtent& points) {
        SoCallbackAction collect(region);
        collect.addTriangleCallback(SoShape::getClassTypeId(), &AddTriangle, &points);
        LabelMeasure labels(region, points);
        collect.addPreCallback(SoCamera::getClassTypeId(), &LabelMeasure::NoteCamera, &labels);
        collect.addPreCallback(SoText2::getClassTypeId(), &LabelMeasure::AddLabel, &labels);
        collect.apply(scene);
    });
}

SoCallbackAction::Response CollectSphere(void* data, SoCallbackAction* action, const SoNode* node) {
    auto* extent = static_cast<CLayoutExtent*>(data);
    SbColor ambient, diffuse, specular, emission;
    float shininess = 0.0f, transparency = 0.0f;
    action->getMaterial(ambient, diffuse, specular, emission, shininess, transparency);
    extent->AddSphere(action->getModelMatrix(), *static_cast<const SoSphere*>(node), diffuse, transparency < 1.0f);
    return SoCallbackAction::CONTINUE;
}

}  // namespace

// A text in the label font under a camera that makes one unit a pixel.
struct CLayoutExtent::Probe {
    static constexpr short kPixels = 1000;
    CoinPtr<SoSeparator> root = MakeCoin<SoSeparator>();
    CoinPtr<SoText2> text = MakeCoin<SoText2>();
    SoGetBoundingBoxAction measure{SbViewportRegion(kPixels, kPixels)};
};

CLayoutExtent::CLayoutExtent(const SoFont& font, const SbVec3f& labelOffset)
    : m_labelOffset(labelOffset), m_probe(std::make_unique<Probe>()) {
    auto camera = MakeCoin<SoOrthographicCamera>();
    camera->position.setValue(0.0f, 0.0f, 1.0f);
    camera->height.setValue(Probe::kPixels);
    auto probeFont = MakeCoin<SoFont>();
    probeFont->name = font.name;
    probeFont->size = font.size;
    m_probe->root->addChild(camera.get());
    m_probe->root->addChild(probeFont.get());
    m_probe->root->addChild(m_probe->text.get());
    // Bars and letters that reach the font's top and bottom.
    Measure("|\xc3\x81gjy|", &m_descent, &m_ascent);
    m_descent = -m_descent;
    m_collect = std::make_unique<SoCallbackAction>();
    m_collect->addPreCallback(SoSphere::getClassTypeId(), &CollectSphere, this);
}

CLayoutExtent::~CLayoutExtent() = default;

float CLayoutExtent::Measure(const std::string& text, float* low, float* high) {
    m_probe->text->string.setValue(text.c_str());
    m_probe->measure.apply(m_probe->root.get());
    const SbBox3f box = m_probe->measure.getBoundingBox();
    if (box.isEmpty()) {
        return 0.0f;
    }
    if (low) {
        *low = box.getMin()[1];
    }
    if (high) {
        *high = box.getMax()[1];
    }
    return box.getMax()[0] - box.getMin()[0];
}

float CLayoutExtent::TextWidth(const std::string& text) {
    float width = 0.0f;
    for (size_t i = 0; i < text.size();) {
        // One character, whole: a UTF-8 lead byte and its continuations.
        size_t next = i + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) {
            ++next;
        }
        const std::string character = text.substr(i, next - i);
        auto it = m_advances.find(character);
        if (it == m_advances.end()) {
            // Between two bars: the bars' own width drops out.
            const float advance = Measure("|" + character + "|") - Measure("||");
            it = m_advances.emplace(character, std::max(advance, 0.0f)).first;
        }
        width += it->second;
        i = next;
    }
    return width;
}

void CLayoutExtent::Add(SoNode* group) { m_collect->apply(group); }

void CLayoutExtent::AddSphere(const SbMatrix& model, const SoSphere& sphere, const SbColor& colour, bool shown) {
    SbVec3f centre, anchor, side;
    model.multVecMatrix(SbVec3f(0.0f, 0.0f, 0.0f), centre);
    model.multVecMatrix(m_labelOffset, anchor);
    model.multDirMatrix(SbVec3f(sphere.radius.getValue(), 0.0f, 0.0f), side);
    m_spheres.push_back({centre, side.length(), colour, shown});
    m_labels.push_back({anchor, TextWidth(GetSceneName(&sphere))});
}

void CLayoutExtent::AddMolecule(const SbVec3f& centre, float radius, const std::string& name, const SbColor& colour,
                                bool shown) {
    m_spheres.push_back({centre, radius, colour, shown});
    m_labels.push_back({centre + m_labelOffset, TextWidth(name)});
}

bool FitCameraToScene(SoPerspectiveCamera& camera, SoNode* scene, const SbViewportRegion& region, float fill) {
    if (!scene || fill <= 0.0f) {
        return false;
    }
    // Labels keep their size in pixels, so their extent in the scene
    // shrinks as the camera comes nearer: fit again with the new camera.
    return FitOnce(camera, scene, region, fill) && FitOnce(camera, scene, region, fill);
}

bool FitCameraToLayout(SoPerspectiveCamera& camera, const CLayoutExtent& extent, const SbViewportRegion& region,
                       float fill) {
    if (extent.Empty() || fill <= 0.0f) {
        return false;
    }
    const float pixelsHigh = std::max<float>(1.0f, region.getViewportSizePixels()[1]);
    // First without the labels, whose size in the scene depends on where
    // the camera stands; then twice with them, as FitCameraToScene does.
    for (int pass = 0; pass < 3; ++pass) {
        const CameraAxes axes(camera);
        const SbVec3f from = camera.position.getValue();
        const SbViewVolume volume = camera.getViewVolume(region.getViewportAspectRatio());
        const float perDistance = volume.getNearDist() > 0.0f ? volume.getHeight() / volume.getNearDist() : 0.0f;
        const bool placed = FitWith(camera, region, fill, [&](PointExtent& points) {
            for (const CLayoutExtent::Sphere& s : extent.Spheres()) {
                // The sphere's cube along the camera's axes holds the sphere.
                for (int corner = 0; corner < 8; ++corner) {
                    points.Add(s.centre + axes.axis[0] * ((corner & 1) ? s.radius : -s.radius) +
                               axes.axis[1] * ((corner & 2) ? s.radius : -s.radius) +
                               axes.ahead * ((corner & 4) ? s.radius : -s.radius));
                }
            }
            for (const CLayoutExtent::Label& label : extent.Labels()) {
                const float depth = (label.anchor - from).dot(axes.ahead);
                if (pass == 0 || depth <= 0.0f) {
                    points.Add(label.anchor);
                    continue;
                }
                // A label starts at its anchor and runs right, its pixels
                // growing with the distance.
                const float perPixel = depth * perDistance / pixelsHigh;
                for (int corner = 0; corner < 4; ++corner) {
                    points.Add(label.anchor + axes.axis[0] * ((corner & 1) ? label.width * perPixel : 0.0f) +
                               axes.axis[1] * ((corner & 2) ? extent.Ascent() * perPixel
                                                            : -extent.Descent() * perPixel));
                }
            }
        });
        if (!placed) {
            return false;
        }
    }
    return true;
}
