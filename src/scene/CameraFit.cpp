#include "CameraFit.h"

#include <algorithm>
#include <limits>
#include <vector>

#include <Inventor/SbBox3f.h>
#include <Inventor/SbLinear.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPrimitiveVertex.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

namespace {

// Lowest and highest of the values a point must stay clear of on one side
// of the view; see FitCameraToScene.
struct Span {
    float low = -std::numeric_limits<float>::max();
    float high = std::numeric_limits<float>::max();
};

// Every point the scene draws: the corners of its shapes' triangles and
// of its screen-aligned labels, in world space.
void AddTriangle(void* data, SoCallbackAction* action, const SoPrimitiveVertex* a, const SoPrimitiveVertex* b,
                 const SoPrimitiveVertex* c) {
    auto* points = static_cast<std::vector<SbVec3f>*>(data);
    const SbMatrix& model = action->getModelMatrix();
    for (const SoPrimitiveVertex* v : {a, b, c}) {
        SbVec3f world;
        model.multVecMatrix(v->getPoint(), world);
        points->push_back(world);
    }
}

SoCallbackAction::Response AddLabel(void* data, SoCallbackAction* action, const SoNode* /*label*/) {
    auto* points = static_cast<std::vector<SbVec3f>*>(data);
    // A label's size is in pixels: its box depends on the camera.
    SoGetBoundingBoxAction measure(action->getViewportRegion());
    measure.apply(const_cast<SoPath*>(action->getCurPath()));
    const SbBox3f box = measure.getBoundingBox();
    if (!box.isEmpty()) {
        const SbVec3f& lo = box.getMin();
        const SbVec3f& hi = box.getMax();
        for (int corner = 0; corner < 8; ++corner) {
            points->emplace_back((corner & 1) ? hi[0] : lo[0], (corner & 2) ? hi[1] : lo[1],
                                 (corner & 4) ? hi[2] : lo[2]);
        }
    }
    return SoCallbackAction::CONTINUE;
}

bool FitOnce(SoPerspectiveCamera& camera, SoNode* scene, const SbViewportRegion& region, float fill) {
    // The drawn points, not the bounding box: an edge's box, turned with
    // the edge, reaches far beyond what the edge covers.
    std::vector<SbVec3f> points;
    SoCallbackAction collect(region);
    collect.addTriangleCallback(SoShape::getClassTypeId(), &AddTriangle, &points);
    collect.addPreCallback(SoText2::getClassTypeId(), &AddLabel, &points);
    collect.apply(scene);
    if (points.empty()) {
        return false;
    }
    SbBox3f box;
    for (const SbVec3f& point : points) {
        box.extendBy(point);
    }
    // Half the view's width and height per unit of distance, as the camera
    // maps them onto this viewport (Coin widens the narrow side itself).
    const SbViewVolume volume = camera.getViewVolume(region.getViewportAspectRatio());
    const float nearDist = volume.getNearDist();
    if (nearDist <= 0.0f) {
        return false;
    }
    const float slope[2] = {volume.getWidth() / 2.0f / nearDist * fill, volume.getHeight() / 2.0f / nearDist * fill};

    const SbRotation orientation = camera.orientation.getValue();
    SbVec3f axis[2];
    SbVec3f ahead;
    orientation.multVec(SbVec3f(1.0f, 0.0f, 0.0f), axis[0]);
    orientation.multVec(SbVec3f(0.0f, 1.0f, 0.0f), axis[1]);
    orientation.multVec(SbVec3f(0.0f, 0.0f, -1.0f), ahead);

    // A point at sideways offset s and depth z beyond the centre stays in
    // view from distance D before the centre with the camera shifted
    // sideways by a when |s - a| <= (D + z) * slope, that is
    // s - z*slope - D*slope <= a <= s + z*slope + D*slope. The nearest D
    // meets both bounds with a in the middle.
    const SbVec3f centre = box.getCenter();
    Span span[2];
    float nearestDepth = std::numeric_limits<float>::max();
    for (const SbVec3f& point : points) {
        const SbVec3f offset = point - centre;
        const float depth = offset.dot(ahead);
        nearestDepth = std::min(nearestDepth, depth);
        for (int side = 0; side < 2; ++side) {
            const float s = offset.dot(axis[side]);
            span[side].low = std::max(span[side].low, s - depth * slope[side]);
            span[side].high = std::min(span[side].high, s + depth * slope[side]);
        }
    }
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

}  // namespace

bool FitCameraToScene(SoPerspectiveCamera& camera, SoNode* scene, const SbViewportRegion& region, float fill) {
    if (!scene || fill <= 0.0f) {
        return false;
    }
    // Labels keep their size in pixels, so their extent in the scene
    // shrinks as the camera comes nearer: fit again with the new camera.
    return FitOnce(camera, scene, region, fill) && FitOnce(camera, scene, region, fill);
}
