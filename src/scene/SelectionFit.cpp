#include "SelectionFit.h"

#include <algorithm>
#include <cmath>

#include <Inventor/SbBox3f.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>

#include "CoinPtr.h"
#include "Representation.h"

bool FitCameraToSelection(CRepresentation& rep, const SbViewportRegion& region) {
    SoSelection* selection = rep.GetSelection();
    SoPerspectiveCamera* camera = rep.GetCamera();
    if (!selection || !camera || selection->getNumSelected() == 0) {
        return false;
    }
    // The selection keeps paths from itself down to each sphere; measured
    // from the root they also pass the transforms above the selection node.
    SoSearchAction find;
    find.setNode(selection);
    find.setInterest(SoSearchAction::FIRST);
    find.apply(rep.GetRoot());
    if (!find.getPath()) {
        return false;
    }
    CoinPtr<SoPath> toSelection(find.getPath()->copy());
    SbBox3f box;
    float sphere = 0.0f;
    SoGetBoundingBoxAction measure(region);
    for (int i = 0; i < selection->getNumSelected(); ++i) {
        SoPath* selected = selection->getPath(i);
        CoinPtr<SoPath> full(selected->getHead() == selection ? toSelection->copy() : selected->copy());
        if (selected->getHead() == selection) {
            full->append(selected);
        }
        measure.apply(full.get());
        const SbBox3f one = measure.getBoundingBox();
        if (!one.isEmpty()) {
            float dx = 0.0f, dy = 0.0f, dz = 0.0f;
            one.getSize(dx, dy, dz);
            sphere = std::max({sphere, dx, dy, dz});
            box.extendBy(one);
        }
    }
    if (box.isEmpty()) {
        return false;
    }
    // A sphere's width of room on every side: a camera right against a lone
    // sphere would look at it through the edges rising from it.
    box.extendBy(box.getMin() - SbVec3f(sphere, sphere, sphere));
    box.extendBy(box.getMax() + SbVec3f(sphere, sphere, sphere));
    const float aspect = region.getViewportAspectRatio();
    camera->viewBoundingBox(box, aspect, 1.0f);
    // That fits the box's bounding sphere, which leaves a flat selection
    // small: come closer until the box's corners reach the view's edges,
    // staying outside the sphere.
    const SbVec3f centre = box.getCenter();
    const float outside = (box.getMax() - centre).length();
    for (int pass = 0; pass < 2; ++pass) {
        const SbViewVolume volume = camera->getViewVolume(aspect);
        float reach = 0.0f;
        for (int corner = 0; corner < 8; ++corner) {
            const SbVec3f at((corner & 1) ? box.getMax()[0] : box.getMin()[0],
                             (corner & 2) ? box.getMax()[1] : box.getMin()[1],
                             (corner & 4) ? box.getMax()[2] : box.getMin()[2]);
            SbVec3f screen;
            volume.projectToScreen(at, screen);
            reach = std::max({reach, std::fabs(screen[0] - 0.5f) * 2.0f, std::fabs(screen[1] - 0.5f) * 2.0f});
        }
        const SbVec3f away = camera->position.getValue() - centre;
        const float distance = away.length() * std::min(1.0f, reach * 1.1f);
        if (reach <= 0.0f || distance <= outside) {
            break;
        }
        camera->position.setValue(centre + away * (distance / away.length()));
        camera->focalDistance.setValue(distance);
    }
    return true;
}
