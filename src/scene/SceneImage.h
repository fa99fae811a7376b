#pragma once

#include <string>
#include <vector>

class CRepresentation;

// A picture of a representation as its camera sees it.
struct SceneImageOptions {
    int width = 1024;
    int height = 768;
    bool blackBackground = true;
    bool labels = true;
};

// Pixels as RGB triples, top row first.
struct SceneImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

constexpr int kMaxImageSide = 8192;

// Why `options` cannot give a picture, or empty when they can.
std::string CheckImageOptions(const SceneImageOptions& options);

// Renders off screen, lit from the eye as the viewer lights it; labels are
// drawn black on white. False, with the reason, when there is no camera or
// no drawing context (off-screen rendering needs an X display).
bool RenderSceneImage(const CRepresentation& rep, const SceneImageOptions& options, SceneImage& image,
                      std::string& error);
bool WritePng(const SceneImage& image, const std::string& path, std::string& error);
// Both of the above; the confirmation text on success, else empty with the
// reason in `error`.
std::string ExportSceneImage(const CRepresentation& rep, const SceneImageOptions& options, const std::string& path,
                             std::string& error);
