#include "SceneBounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

#include <Inventor/SbBox3f.h>
#include <Inventor/SbLinear.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SbXfBox3f.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoInfo.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoRotationXYZ.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>

#include "CoinPtr.h"
#include "FieldValues.h"
#include "SelectionNode.h"

namespace {

// What the camera leaves in the traversal state: the view volume it sets
// up for this viewport, read from Coin's own traversal of the camera alone.
SbViewVolume ViewVolumeOf(SoCamera* camera, const SbViewportRegion& region) {
    struct Seen {
        SbViewVolume volume;
    } seen;
    auto group = MakeCoin<SoSeparator>();
    auto marker = MakeCoin<SoInfo>();
    group->addChild(camera);
    group->addChild(marker.get());
    SoCallbackAction read(region);
    read.addPreCallback(
        SoInfo::getClassTypeId(),
        [](void* data, SoCallbackAction* action, const SoNode*) {
            static_cast<Seen*>(data)->volume = action->getViewVolume();
            return SoCallbackAction::CONTINUE;
        },
        &seen);
    read.apply(group.get());
    group->removeAllChildren();
    return seen.volume;
}

// The pixel rectangle a label's glyphs cover relative to its anchor, as
// Coin lays the text out. Coin keeps it to itself; it shows in the box of
// a label seen through an orthographic camera whose view is exactly one
// unit per pixel, from which the whole pixel numbers are read back.
//
// Measuring every distinct text that way costs as much as the walk it
// replaces, so a text is put together from its characters the way Coin
// lays them out: each glyph's bitmap rectangle about its origin, measured
// alone, and the step from one glyph's origin to the next (advance and
// kerning), measured on the pair. What cannot be put together that way
// (other bytes than ASCII, very long texts, a pair whose step its box does
// not show) is measured whole, and so are the first texts of each font, to
// check the layout against Coin's own. What is measured holds for the
// font's name and size, whichever font node bears them: one table serves
// every build of the running program.
class LabelPixels {
public:
    struct Pixels {
        short left = 1, low = 1, right = 0, high = 0;  // empty
        bool Empty() const { return right < left; }
        void Extend(int x0, int y0, int x1, int y1) {
            if (Empty()) {
                left = static_cast<short>(x0), low = static_cast<short>(y0);
                right = static_cast<short>(x1), high = static_cast<short>(y1);
                return;
            }
            left = static_cast<short>(std::min<int>(left, x0)), low = static_cast<short>(std::min<int>(low, y0));
            right = static_cast<short>(std::max<int>(right, x1)), high = static_cast<short>(std::max<int>(high, y1));
        }
        bool operator==(const Pixels& o) const {
            return left == o.left && low == o.low && right == o.right && high == o.high;
        }
    };

    LabelPixels()
        : m_root(MakeCoin<SoSeparator>()), m_font(MakeCoin<SoFont>()), m_text(MakeCoin<SoText2>()),
          m_measure(SbViewportRegion(kSize, kSize)) {
        auto camera = MakeCoin<SoOrthographicCamera>();
        camera->position.setValue(0.0f, 0.0f, 1.0f);
        camera->height.setValue(static_cast<float>(kSize));
        camera->aspectRatio.setValue(1.0f);
        camera->nearDistance.setValue(0.5f);
        camera->farDistance.setValue(1.5f);
        m_root->addChild(camera.get());
        m_root->addChild(m_font.get());
        m_root->addChild(m_text.get());
    }

    // The one table; never destroyed, as the Coin nodes it holds may not
    // outlive Coin.
    static LabelPixels& Shared() {
        static LabelPixels* shared = new LabelPixels;
        return *shared;
    }

    Pixels Of(const SoFont& font, const SbString& text) {
        Font& known = m_fonts[FontKey{font.name.getValue().getString(), font.size.getValue()}];
        const char* chars = text.getString();
        const int length = text.getLength();
        bool plain = length > 0 && length <= kLongest && known.layoutHolds;
        for (int i = 0; plain && i < length; ++i) {
            plain = static_cast<unsigned char>(chars[i]) >= 0x20 && static_cast<unsigned char>(chars[i]) < 0x7f;
        }
        Pixels pixels;
        if (plain && Compose(font, known, chars, length, pixels)) {
            if (known.checked >= kChecks || length < 2) {
                return pixels;
            }
            ++known.checked;
            const Pixels whole = Measure(font, text);
            known.layoutHolds = whole == pixels;
            return whole;
        }
        auto it = known.wholes.find(chars);
        if (it == known.wholes.end()) {
            it = known.wholes.emplace(chars, Measure(font, text)).first;
        }
        return it->second;
    }

private:
    static constexpr short kSize = 1000;
    static constexpr int kLongest = 1000;  // far from the limits of Coin's pixel numbers
    static constexpr int kChecks = 8;

    struct Font {
        bool layoutHolds = true;
        int checked = 0;
        std::array<bool, 128> glyphKnown{};
        std::array<Pixels, 128> glyphs{};
        std::unordered_map<int, int> steps;  // (first << 7 | second) -> step; kUnknown if the pair hides it
        std::unordered_map<std::string, Pixels> wholes;  // texts measured whole
    };
    static constexpr int kUnknown = -32768;

    bool Compose(const SoFont& font, Font& known, const char* chars, int length, Pixels& pixels) {
        int origin = 0;
        for (int i = 0; i < length; ++i) {
            const int c = chars[i];
            const Pixels* glyph = Glyph(font, known, c);
            if (!glyph) {
                return false;
            }
            if (i > 0) {
                const int step = Step(font, known, chars[i - 1], c);
                if (step == kUnknown) {
                    return false;
                }
                origin += step;
            }
            pixels.Extend(origin + glyph->left, glyph->low, origin + glyph->right, glyph->high);
            if (origin > 30000 || origin < -30000) {
                return false;
            }
        }
        return true;
    }

    const Pixels* Glyph(const SoFont& font, Font& known, int c) {
        if (!known.glyphKnown[static_cast<size_t>(c)]) {
            const char single[2] = {static_cast<char>(c), '\0'};
            known.glyphs[static_cast<size_t>(c)] = Measure(font, SbString(single));
            known.glyphKnown[static_cast<size_t>(c)] = true;
        }
        const Pixels& glyph = known.glyphs[static_cast<size_t>(c)];
        return glyph.Empty() ? nullptr : &glyph;
    }

    // How far the second glyph's origin lies from the first's; read from
    // the pair's box where one of the second glyph's sides sticks out.
    int Step(const SoFont& font, Font& known, int first, int second) {
        const int key = first << 7 | second;
        auto it = known.steps.find(key);
        if (it != known.steps.end()) {
            return it->second;
        }
        const char pair[3] = {static_cast<char>(first), static_cast<char>(second), '\0'};
        const Pixels both = Measure(font, SbString(pair));
        const Pixels& a = known.glyphs[static_cast<size_t>(first)];
        const Pixels& b = known.glyphs[static_cast<size_t>(second)];
        int step = kUnknown;
        if (!both.Empty() && both.right > a.right) {
            step = both.right - b.right;
        } else if (!both.Empty() && both.left < a.left) {
            step = both.left - b.left;
        }
        if (step != kUnknown) {
            Pixels composed = a;
            composed.Extend(step + b.left, b.low, step + b.right, b.high);
            if (!(composed == both)) {
                step = kUnknown;
            }
        }
        known.steps.emplace(key, step);
        return step;
    }

    Pixels Measure(const SoFont& font, const SbString& text) {
        if (!(m_font->name.getValue() == font.name.getValue())) {
            m_font->name.setValue(font.name.getValue());
        }
        if (m_font->size.getValue() != font.size.getValue()) {
            m_font->size.setValue(font.size.getValue());
        }
        m_text->string.setValue(text);
        m_measure.apply(m_root.get());
        const SbBox3f box = m_measure.getBoundingBox();
        Pixels pixels;
        if (!box.isEmpty()) {
            // The anchor sits in the middle of the view, at pixel kSize / 2.
            auto whole = [](float v) { return static_cast<int>(std::lround(v)); };
            pixels.Extend(whole(box.getMin()[0]), whole(box.getMin()[1]), whole(box.getMax()[0]),
                          whole(box.getMax()[1]));
        }
        return pixels;
    }

    // A font's name (an interned string) and size.
    using FontKey = std::pair<const char*, float>;

    CoinPtr<SoSeparator> m_root;
    CoinPtr<SoFont> m_font;
    CoinPtr<SoText2> m_text;
    SoGetBoundingBoxAction m_measure;
    std::map<FontKey, Font> m_fonts;
};

class BoundsWalk {
public:
    BoundsWalk(SoCamera* camera, const SbViewportRegion& region)
        : m_camera(camera), m_volume(ViewVolumeOf(camera, region)), m_viewport(region.getViewportSizePixels()) {}

    // Measures a separator, the newest child of `parent`, under `font` and
    // keeps its box for the walks to come. Only labels read the model
    // matrix and the font: a part without one holds wherever it stands, one
    // with labels only below untransformed groups and that font.
    void AddPart(const SoGroup& parent, const SoGroup& part, const SoFont* font) {
        if (part.getTypeId() != SoSeparator::getClassTypeId()) {
            return;
        }
        SbXfBox3f box;
        m_sawLabel = false;
        m_inPart = true;
        const bool known = Separator(part, SbMatrix::identity(), font, box, false);
        m_inPart = false;
        if (known) {
            PartsOf(&parent).parts.push_back(Part{&part, part.getNodeId(), font, box, m_sawLabel});
        }
    }

    // Parts are looked up from the first again.
    void Rewind() {
        for (Parts& of : m_parts) {
            of.next = 0;
        }
    }

    // The children's box of a separator, in its own space, as
    // SoSeparator::getBoundingBox gathers it; `model` is the model matrix
    // above it and `font` the label font in effect.
    bool Separator(const SoGroup& group, const SbMatrix& above, const SoFont* inherited, SbXfBox3f& gathered,
                   bool isRoot) {
        SbMatrix local = SbMatrix::identity();
        SbMatrix model = above;
        const SoFont* font = inherited;
        const int count = group.getNumChildren();
        for (int i = 0; i < count; ++i) {
            SoNode* child = group.getChild(i);
            const SoType type = child->getTypeId();
            if (type == SoSeparator::getClassTypeId() || type == SoSelection::getClassTypeId() ||
                type == CSelectionNode::getClassTypeId()) {
                SbXfBox3f inner;
                if (const SbXfBox3f* known = KnownPart(group, child, model, font)) {
                    inner = *known;
                } else if (!Separator(*static_cast<SoGroup*>(child), model, font, inner, false)) {
                    return false;
                }
                if (!inner.isEmpty()) {
                    inner.transform(local);
                    gathered.extendBy(inner);
                }
            } else if (type == SoTransform::getClassTypeId()) {
                const SbMatrix m = TransformMatrix(*static_cast<SoTransform*>(child));
                local.multLeft(m);
                model.multLeft(m);
            } else if (type == SoTranslation::getClassTypeId()) {
                const SbVec3f& v = static_cast<SoTranslation*>(child)->translation.getValue();
                if (v != SbVec3f(0.0f, 0.0f, 0.0f)) {
                    SbMatrix m = SbMatrix::identity();
                    m.setTranslate(v);
                    local.multLeft(m);
                    model.multLeft(m);
                }
            } else if (type == SoRotationXYZ::getClassTypeId()) {
                const auto* r = static_cast<SoRotationXYZ*>(child);
                if (r->angle.getValue() != 0.0f) {
                    SbMatrix m = SbMatrix::identity();
                    m.setRotate(r->getRotation());
                    local.multLeft(m);
                    model.multLeft(m);
                }
            } else if (type == SoSphere::getClassTypeId()) {
                const float r = static_cast<SoSphere*>(child)->radius.getValue();
                AddShape(SbBox3f(-r, -r, -r, r, r, r), local, gathered);
            } else if (type == SoCone::getClassTypeId()) {
                AddShape(ConeBox(*static_cast<SoCone*>(child)), local, gathered);
            } else if (type == SoText2::getClassTypeId()) {
                SbBox3f box;
                if (!font || !LabelBox(*static_cast<SoText2*>(child), *font, model, box)) {
                    return false;
                }
                AddShape(box, local, gathered);
            } else if (type == SoFont::getClassTypeId()) {
                font = static_cast<SoFont*>(child);
            } else if (child == m_camera && isRoot) {
                // The reset at the camera: nothing before it counts.
                gathered = SbXfBox3f();
            } else if (type != SoMaterial::getClassTypeId()) {
                return false;
            }
        }
        return true;
    }

private:
    struct Part {
        const SoNode* node;
        SbUniqueId id;
        const SoFont* font;
        SbXfBox3f box;
        bool hasLabel;
    };
    // The parts below one group, in the order they were added, which is
    // the order a walk meets them in: a cursor finds each without a search.
    struct Parts {
        const SoGroup* parent;
        std::vector<Part> parts;
        size_t next = 0;
    };

    Parts& PartsOf(const SoGroup* parent) {
        for (Parts& of : m_parts) {
            if (of.parent == parent) {
                return of;
            }
        }
        m_parts.push_back(Parts{parent, {}});
        return m_parts.back();
    }

    // The box measured for the `parent`'s child `node` as a part, if it
    // still holds and the walk reaches it as it reached the part.
    const SbXfBox3f* KnownPart(const SoGroup& parent, const SoNode* node, const SbMatrix& model,
                               const SoFont* font) {
        if (m_inPart) {
            return nullptr;
        }
        for (Parts& of : m_parts) {
            if (of.parent != &parent) {
                continue;
            }
            if (of.next >= of.parts.size() || of.parts[of.next].node != node) {
                return nullptr;
            }
            const Part& part = of.parts[of.next++];
            if (part.id != node->getNodeId() ||
                (part.hasLabel && (part.font != font || std::memcmp(&model, &Identity(), sizeof model) != 0))) {
                return nullptr;
            }
            return &part.box;
        }
        return nullptr;
    }

    static const SbMatrix& Identity() {
        static const SbMatrix identity = SbMatrix::identity();
        return identity;
    }

    static void AddShape(const SbBox3f& box, const SbMatrix& local, SbXfBox3f& gathered) {
        if (box.isEmpty()) {
            return;
        }
        SbXfBox3f placed = box;
        placed.transform(local);
        gathered.extendBy(placed);
    }

    static SbBox3f ConeBox(const SoCone& cone) {
        const float r = std::fabs(cone.bottomRadius.getValue());
        const float half = std::fabs(cone.height.getValue()) / 2.0f;
        const int parts = cone.parts.getValue();
        if (parts & SoCone::SIDES) {
            return SbBox3f(-r, -half, -r, r, half, r);
        }
        if (parts & SoCone::BOTTOM) {
            return SbBox3f(-r, -half, -r, r, -half, r);
        }
        return SbBox3f(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    }

    // The screen-aligned rectangle of a label, back in its object space,
    // the way SoText2 places it for the bounding box.
    bool LabelBox(const SoText2& text, const SoFont& font, const SbMatrix& model, SbBox3f& box) {
        m_sawLabel = true;
        if (text.string.getNum() != 1 || text.justification.getValue() != SoText2::LEFT) {
            return false;
        }
        const LabelPixels::Pixels pixels = LabelPixels::Shared().Of(font, text.string[0]);
        if (pixels.Empty()) {
            return true;
        }
        const short xmin = pixels.left, ymin = pixels.low, xmax = pixels.right, ymax = pixels.high;
        SbVec3f anchor(0.0f, 0.0f, 0.0f);
        model.multVecMatrix(anchor, anchor);
        SbVec3f screen;
        m_volume.projectToScreen(anchor, screen);
        const SbVec2s at(static_cast<short>(screen[0] * m_viewport[0]), static_cast<short>(screen[1] * m_viewport[1]));
        const float w = static_cast<float>(m_viewport[0]);
        const float h = static_cast<float>(m_viewport[1]);
        const SbVec2f corners[4] = {
            SbVec2f(static_cast<float>(at[0] + xmin) / w, static_cast<float>(at[1] + ymax) / h),
            SbVec2f(static_cast<float>(at[0] + xmax) / w, static_cast<float>(at[1] + ymax) / h),
            SbVec2f(static_cast<float>(at[0] + xmax) / w, static_cast<float>(at[1] + ymin) / h),
            SbVec2f(static_cast<float>(at[0] + xmin) / w, static_cast<float>(at[1] + ymin) / h)};
        const float distance = -m_volume.getPlane(0.0f).getDistance(anchor);
        SbVec3f points[4];
        SbBox3f seen;
        for (int i = 0; i < 4; ++i) {
            points[i] = m_volume.getPlanePoint(distance, corners[i]);
            seen.extendBy(points[i]);
        }
        // A label out of the camera's view has no bounds.
        if (!m_volume.intersect(seen)) {
            return true;
        }
        const SbMatrix inverse = model.inverse();
        box.makeEmpty();
        for (SbVec3f& point : points) {
            inverse.multVecMatrix(point, point);
            box.extendBy(point);
        }
        return true;
    }

    SoCamera* m_camera;
    SbViewVolume m_volume;
    SbVec2s m_viewport;
    std::vector<Parts> m_parts;
    bool m_sawLabel = false;  // a label was measured
    bool m_inPart = false;    // parts do not nest
};

bool MeasureWith(BoundsWalk& walk, SoSeparator* root, SoCamera* camera, SbBox3f& box) {
    if (!root || !camera || root->getNumChildren() == 0 || root->getChild(0) != camera ||
        root->getTypeId() != SoSeparator::getClassTypeId()) {
        return false;
    }
    SbXfBox3f gathered;
    walk.Rewind();
    if (!walk.Separator(*root, SbMatrix::identity(), nullptr, gathered, true)) {
        return false;
    }
    // The root's own box goes into the action's, which starts empty under
    // an identity matrix.
    SbXfBox3f total;
    if (!gathered.isEmpty()) {
        gathered.transform(SbMatrix::identity());
        total.extendBy(gathered);
    }
    box = total.project();
    return true;
}

}  // namespace

bool MeasureSceneBounds(SoSeparator* root, SoCamera* camera, const SbViewportRegion& region, SbBox3f& box) {
    if (!camera) {
        return false;
    }
    BoundsWalk walk(camera, region);
    return MeasureWith(walk, root, camera, box);
}

// The parts' boxes hold for the camera and viewport they were measured
// under; the camera's node id moves with any change of its fields.
class CSceneBounds::Walk {
public:
    Walk(SoCamera* camera, const SbViewportRegion& region)
        : camera(camera), cameraId(camera ? camera->getNodeId() : 0), region(region), walk(camera, region) {}
    SoCamera* camera;
    SbUniqueId cameraId;
    SbViewportRegion region;
    BoundsWalk walk;
};

CSceneBounds::CSceneBounds(SoCamera* camera, const SbViewportRegion& region)
    : m_walk(std::make_unique<Walk>(camera, region)) {}

CSceneBounds::~CSceneBounds() = default;

void CSceneBounds::AddPart(const SoGroup* parent, const SoGroup* part, const SoFont* font) {
    if (parent && part && m_walk->camera) {
        m_walk->walk.AddPart(*parent, *part, font);
    }
}

bool CSceneBounds::Measure(SoSeparator* root, const SbViewportRegion& region, SbBox3f& box) {
    SoCamera* camera = m_walk->camera;
    if (!camera) {
        return false;
    }
    if (camera->getNodeId() != m_walk->cameraId || !(region == m_walk->region)) {
        m_walk = std::make_unique<Walk>(camera, region);
    }
    return MeasureWith(m_walk->walk, root, camera, box);
}
