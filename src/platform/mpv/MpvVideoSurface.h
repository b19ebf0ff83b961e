#pragma once

#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

namespace luming {

// The picture of an mpv player (vo=libmpv) drawn with OpenGL into the widget. mpv can open a
// file only while the render context exists: `ready` tells when it does (again, after Qt
// recreated the GL context, e.g. when the widget moved into another window).
class MpvVideoSurface : public QOpenGLWidget {
    Q_OBJECT
public:
    MpvVideoSurface(mpv_handle* mpv, QWidget* parent);
    // Frees the render context while the GL context is current, before mpv goes.
    ~MpvVideoSurface() override;

    bool Ready() const { return render_ != nullptr; }

signals:
    void ready();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    static void OnUpdate(void* self);
    void FreeRenderContext();

    mpv_handle* mpv_;
    mpv_render_context* render_ = nullptr;
};

} // namespace luming
