#include "SelectionFit.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>

#include "Representation.h"

bool FitCameraToSelection(CRepresentation& rep, const SbViewportRegion& region) {
    SoSelection* selection = rep.GetSelection();
    SoPerspectiveCamera* camera = rep.GetCamera();
    if (!selection || !camera || selection->getNumSelected() == 0) {
        return false;
    }
    // Each path ends at its sphere: the box of a path is that sphere where
    // the transforms along the path put it.
    SbBox3f box;
    SoGetBoundingBoxAction measure(region);
    for (int i = 0; i < selection->getNumSelected(); ++i) {
        measure.apply(selection->getPath(i));
        box.extendBy(measure.getBoundingBox());
    }
    if (box.isEmpty()) {
        return false;
    }
    camera->viewBoundingBox(box, region.getViewportAspectRatio(), 1.0f);
    return true;
}
