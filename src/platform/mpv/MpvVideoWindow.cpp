#include "platform/mpv/MpvVideoWindow.h"

#include <QOffscreenSurface>
#include <QOpenGLFramebufferObject>

#include <mpv/render_gl.h>

namespace luming {

namespace {

void* GetProcAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

void Render(mpv_render_context* render, int framebuffer, QSize size, bool waitForItsTime) {
    mpv_opengl_fbo fbo{framebuffer, size.width(), size.height(), 0};
    int flipY = 1;
    int block = waitForItsTime;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(render, params);
}

} // namespace

MpvVideoWindow::MpvVideoWindow(mpv_handle* mpv) {
    setSurfaceType(QSurface::OpenGLSurface);
    // mpv times the frames itself; a swap that waited for the display would hold the UI thread.
    QSurfaceFormat format = requestedFormat();
    format.setSwapInterval(0);
    setFormat(format);
    setFlags(Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
             Qt::WindowDoesNotAcceptFocus);
    // The window itself is made once it is in its place: one made as a top-level first shows
    // nothing on Wayland when moved into another. The renderer needs only a current context.
    offscreen_.setFormat(requestedFormat());
    offscreen_.create();
    context_.setFormat(requestedFormat());
    if (!context_.create() || !context_.makeCurrent(&offscreen_)) {
        qWarning("mpv: no OpenGL context for the picture");
        return;
    }
    mpv_opengl_init_params gl{&GetProcAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, mpv, params) < 0) {
        qWarning("mpv: no OpenGL renderer");
        render_ = nullptr;
    } else {
        mpv_render_context_set_update_callback(render_, &MpvVideoWindow::OnUpdate, this);
    }
    context_.doneCurrent();
}

MpvVideoWindow::~MpvVideoWindow() {
    if (!render_)
        return;
    // Not on the window: its container destroys the window's surface before deleting it.
    context_.makeCurrent(&offscreen_);
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
    context_.doneCurrent();
}

void MpvVideoWindow::SetStill(std::optional<QSize> size) {
    if (size == still_)
        return;
    still_ = size;
    if (still_)
        DrawStill();
}

void MpvVideoWindow::exposeEvent(QExposeEvent*) {
    Draw(true);
}

// Called on one of mpv's threads when a new frame is due.
void MpvVideoWindow::OnUpdate(void* self) {
    auto* window = static_cast<MpvVideoWindow*>(self);
    QMetaObject::invokeMethod(window, [window] { window->Draw(false); }, Qt::QueuedConnection);
}

void MpvVideoWindow::Draw(bool evenWithoutNewFrame) {
    if (!render_)
        return;
    const bool newFrame = mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME;
    if (!newFrame && !evenWithoutNewFrame)
        return;
    if (still_) {
        DrawStill();
        return;
    }
    // A frame is taken even while the window is not on screen: mpv waits for it to be drawn.
    if (!handle() || !context_.makeCurrent(this))
        return;
    Render(render_, static_cast<int>(context_.defaultFramebufferObject()),
           size() * devicePixelRatio(), true);
    // Not isExposed(): Qt never tells a Wayland subsurface it is exposed.
    if (isVisible()) {
        emit frameDrawn();
        context_.swapBuffers(this);
        mpv_render_context_report_swap(render_);
    }
}

void MpvVideoWindow::DrawStill() {
    if (!render_ || still_->isEmpty() || !context_.makeCurrent(&offscreen_))
        return;
    QOpenGLFramebufferObject target(*still_);
    Render(render_, static_cast<int>(target.handle()), *still_, false);
    const QImage still = target.toImage();
    context_.doneCurrent();
    emit stillChanged(still);
}

} // namespace luming
