#pragma once

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QWindow>

#include <optional>

struct mpv_handle;
struct mpv_render_context;

namespace luming {

// The picture of an mpv player (vo=libmpv) drawn with OpenGL straight into a window of its own,
// meant to sit in a widget as a native child: a frame costs mpv's drawing and one swap, where a
// GL widget made Qt compose the whole main window again for each frame. Input passes through to
// the widgets below. While a still is asked for, frames go to an image of that size instead.
class MpvVideoWindow : public QWindow {
    Q_OBJECT
public:
    explicit MpvVideoWindow(mpv_handle* mpv);
    // Frees the render context with its GL context current, before mpv goes.
    ~MpvVideoWindow() override;

    // Draws into images of `size` (stillChanged) instead of the window; nullopt: the window again.
    void SetStill(std::optional<QSize> size);

signals:
    // A frame is in the window's back buffer, its GL context current, just before the swap.
    void frameDrawn();
    void stillChanged(const QImage& still);

protected:
    void exposeEvent(QExposeEvent* event) override;

private:
    static void OnUpdate(void* self);
    void Draw(bool evenWithoutNewFrame);
    void DrawStill();

    QOffscreenSurface offscreen_; // for the renderer while the window has no surface
    QOpenGLContext context_;
    mpv_render_context* render_ = nullptr;
    std::optional<QSize> still_;
};

} // namespace luming
