#include "QtOffscreenContext.h"

#include <memory>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <Inventor/C/glue/gl.h>

namespace {

struct OffscreenContext {
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> buffer;
    QOpenGLContext* previous = nullptr;
    QSurface* previousSurface = nullptr;
};

QSurfaceFormat PictureFormat() {
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    return format;
}

SbBool MakeCurrent(cc_glglue_offscreen_data data) {
    auto* c = static_cast<OffscreenContext*>(data);
    c->previous = QOpenGLContext::currentContext();
    c->previousSurface = c->previous ? c->previous->surface() : nullptr;
    if (!c->context.makeCurrent(&c->surface)) {
        return FALSE;
    }
    return c->buffer->bind() ? TRUE : FALSE;
}

void ReinstatePrevious(cc_glglue_offscreen_data data) {
    auto* c = static_cast<OffscreenContext*>(data);
    c->buffer->release();
    c->context.doneCurrent();
    if (c->previous && c->previousSurface) {
        c->previous->makeCurrent(c->previousSurface);
    }
    c->previous = nullptr;
    c->previousSurface = nullptr;
}

void Destruct(cc_glglue_offscreen_data data) {
    auto* c = static_cast<OffscreenContext*>(data);
    QOpenGLContext* previous = QOpenGLContext::currentContext();
    QSurface* previousSurface = previous ? previous->surface() : nullptr;
    if (c->context.makeCurrent(&c->surface)) {
        c->buffer.reset();
        c->context.doneCurrent();
    }
    if (previous && previousSurface) {
        previous->makeCurrent(previousSurface);
    }
    delete c;
}

cc_glglue_offscreen_data Create(unsigned int width, unsigned int height) {
    auto c = std::make_unique<OffscreenContext>();
    c->surface.setFormat(PictureFormat());
    c->surface.create();
    c->context.setFormat(PictureFormat());
    if (!c->surface.isValid() || !c->context.create()) {
        return nullptr;
    }
    QOpenGLContext* previous = QOpenGLContext::currentContext();
    QSurface* previousSurface = previous ? previous->surface() : nullptr;
    if (!c->context.makeCurrent(&c->surface)) {
        return nullptr;
    }
    c->buffer = std::make_unique<QOpenGLFramebufferObject>(static_cast<int>(width), static_cast<int>(height),
                                                           QOpenGLFramebufferObject::CombinedDepthStencil);
    const bool valid = c->buffer->isValid();
    c->context.doneCurrent();
    if (previous && previousSurface) {
        previous->makeCurrent(previousSurface);
    }
    return valid ? c.release() : nullptr;
}

}  // namespace

void UseQtOffscreenContexts() {
    static cc_glglue_offscreen_cb_functions functions = {&Create, &MakeCurrent, &ReinstatePrevious, &Destruct};
    cc_glglue_context_set_offscreen_cb_functions(&functions);
}
