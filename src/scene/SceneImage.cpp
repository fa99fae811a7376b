#include "SceneImage.h"

#include <cstring>

#include <png.h>

#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>

#include "Representation.h"

std::string CheckImageOptions(const SceneImageOptions& options) {
    if (options.width < 1 || options.height < 1 || options.width > kMaxImageSide ||
        options.height > kMaxImageSide) {
        return "The image size must be 1 to " + std::to_string(kMaxImageSide) + " pixels on each side, not " +
               std::to_string(options.width) + "x" + std::to_string(options.height) + ".";
    }
    return {};
}

bool RenderSceneImage(const CRepresentation& rep, const SceneImageOptions& options, SceneImage& image,
                      std::string& error) {
    error = CheckImageOptions(options);
    if (!error.empty()) {
        return false;
    }
    SoPerspectiveCamera* camera = rep.GetCamera();
    if (!camera || !rep.GetSelection()) {
        error = "There is no picture to export: the view shows no pathway.";
        return false;
    }
    // The scene's own parts under a root of the picture's: the scene stays
    // as it is, and the viewer's headlight (which is not part of it) is
    // put back as a light along the camera's view.
    auto top = MakeCoin<SoSeparator>();
    auto light = MakeCoin<SoDirectionalLight>();
    SbVec3f ahead;
    camera->orientation.getValue().multVec(SbVec3f(0, 0, -1), ahead);
    light->direction.setValue(ahead);
    top->addChild(light.get());
    top->addChild(camera);
    top->addChild(rep.GetSelection());
    if (options.labels) {
        auto labels = MakeCoin<SoSeparator>();
        if (!options.blackBackground) {
            auto ink = MakeCoin<SoBaseColor>();
            ink->rgb.setValue(0, 0, 0);
            ink->setOverride(TRUE);
            labels->addChild(ink.get());
        }
        labels->addChild(rep.GetLabelRoot());
        top->addChild(labels.get());
    }
    top->addChild(rep.GetEdgeRoot());

    const SbViewportRegion region(static_cast<short>(options.width), static_cast<short>(options.height));
    SoOffscreenRenderer renderer(region);
    renderer.setComponents(SoOffscreenRenderer::RGB);
    const float background = options.blackBackground ? 0.0f : 1.0f;
    renderer.setBackgroundColor(SbColor(background, background, background));
    renderer.getGLRenderAction()->setTransparencyType(SoGLRenderAction::DELAYED_ADD);
    if (!renderer.render(top.get())) {
        error = "The picture could not be drawn: off-screen drawing needs an X display with OpenGL.";
        return false;
    }
    const unsigned char* pixels = renderer.getBuffer();
    const size_t row = static_cast<size_t>(options.width) * 3;
    image.width = options.width;
    image.height = options.height;
    image.rgb.resize(row * static_cast<size_t>(options.height));
    // The renderer's rows run bottom up.
    for (int y = 0; y < options.height; ++y) {
        std::memcpy(&image.rgb[static_cast<size_t>(y) * row],
                    pixels + static_cast<size_t>(options.height - 1 - y) * row, row);
    }
    return true;
}

bool WritePng(const SceneImage& image, const std::string& path, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr)) {
        error = "Cannot write " + path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

std::string ExportSceneImage(const CRepresentation& rep, const SceneImageOptions& options, const std::string& path,
                             std::string& error) {
    SceneImage image;
    if (!RenderSceneImage(rep, options, image, error) || !WritePng(image, path, error)) {
        return {};
    }
    return "Wrote " + path + " (" + std::to_string(image.width) + "x" + std::to_string(image.height) + ")";
}
