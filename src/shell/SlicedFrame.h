#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include <Inventor/C/basic.h>
#include <Inventor/SbColor.h>
#include <Inventor/SbVec2s.h>

#include "FrameSlices.h"

class CFramePruning;
class CRepresentation;
class SoGLRenderAction;
class SoNode;

// A complete frame drawn over several turns of the event loop, each turn
// a slice of the scene, into the back buffer, which is swapped only when
// the frame is complete: meanwhile the window keeps showing the picture
// before it and handles events. A frame that fits in one turn is drawn in
// that turn. (The back buffer rather than a framebuffer object: the
// software renderer rasterises a few edge pixels of the window's buffer
// otherwise than those of its own framebuffers.)
class CSlicedFrame {
public:
    using Clock = std::chrono::steady_clock;

    // What a frame shows; a frame begun is abandoned when any of it changes.
    struct Subject {
        const SoNode* head = nullptr;  // the viewer's whole scene
        SbUniqueId headId = 0;         // changes with any node below it
        SbVec2s size;                  // of the drawing area, in pixels
        const SoGLRenderAction* action = nullptr;
        bool operator==(const Subject& other) const {
            return head == other.head && headId == other.headId && size == other.size && action == other.action;
        }
    };
    // Fits the clipping planes for the frame once the box of what it draws
    // is found, walking it until the deadline; false while not found.
    using FitPlanes = std::function<bool(Clock::time_point deadline)>;

    CSlicedFrame() = default;
    CSlicedFrame(const CSlicedFrame&) = delete;
    CSlicedFrame& operator=(const CSlicedFrame&) = delete;

    bool IsPending() const { return m_stage != Stage::None; }
    // Seconds the turns of the pending frame took, and the share of its
    // opaque shapes drawn.
    double SpentSeconds() const { return m_spent; }
    double ShareDrawn() const { return m_slices.ShareDrawn(); }
    void Abandon();

    enum class Outcome {
        Complete,  // in the back buffer, to be swapped
        Pending,   // part drawn: the back buffer must not be swapped
        Unable,    // `rep`'s scene is not below the head: nothing drawn
    };
    // Draws a turn of the complete frame of `rep`, whose root lies below
    // `subject.head`, with `action` until `deadline`, into the back buffer
    // (the GL context current).
    Outcome Turn(const Subject& subject, const CRepresentation& rep, SoGLRenderAction& action, CFramePruning& pruning,
              const FitPlanes& fitPlanes, const SbColor& background, Clock::time_point deadline);

private:
    enum class Stage { None, Planes, Opaque, Transparent, Boxes };

    bool Begin(const Subject& subject, const CRepresentation& rep);
    // Draws what the frame's stage asks until the deadline; true when done.
    bool Advance(const CRepresentation& rep, SoGLRenderAction& action, CFramePruning& pruning, const FitPlanes& fitPlanes,
                 const SbColor& background, Clock::time_point deadline);

    Stage m_stage = Stage::None;
    Subject m_subject;
    CFrameSlices m_slices;
    double m_spent = 0.0;
};
