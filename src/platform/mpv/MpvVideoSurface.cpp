#include "platform/mpv/MpvVideoSurface.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <mpv/render_gl.h>

namespace luming {

namespace {

void* GetProcAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

} // namespace

MpvVideoSurface::MpvVideoSurface(mpv_handle* mpv, QWidget* parent)
    : QOpenGLWidget(parent), mpv_(mpv) {}

MpvVideoSurface::~MpvVideoSurface() {
    if (context())
        disconnect(context(), nullptr, this, nullptr);
    FreeRenderContext();
}

void MpvVideoSurface::initializeGL() {
    // A new GL context (first show, or Qt replaced it): the old renderer went with the old one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
            &MpvVideoSurface::FreeRenderContext, Qt::DirectConnection);
    mpv_opengl_init_params gl{&GetProcAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, mpv_, params) < 0) {
        qWarning("mpv: no OpenGL renderer");
        render_ = nullptr;
        return;
    }
    mpv_render_context_set_update_callback(render_, &MpvVideoSurface::OnUpdate, this);
    emit ready();
}

void MpvVideoSurface::paintGL() {
    if (!render_) {
        QOpenGLContext::currentContext()->functions()->glClearColor(0, 0, 0, 1);
        QOpenGLContext::currentContext()->functions()->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                       static_cast<int>(width() * ratio), static_cast<int>(height() * ratio), 0};
    int flipY = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(render_, params);
}

// Called on one of mpv's threads when a new frame is due.
void MpvVideoSurface::OnUpdate(void* self) {
    QMetaObject::invokeMethod(static_cast<MpvVideoSurface*>(self), qOverload<>(&QWidget::update),
                              Qt::QueuedConnection);
}

void MpvVideoSurface::FreeRenderContext() {
    if (!render_)
        return;
    makeCurrent();
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
    render_ = nullptr;
    doneCurrent();
}

} // namespace luming
