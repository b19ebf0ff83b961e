#pragma once

#include <QOpenGLWidget>

#include <functional>

struct mpv_handle;
struct mpv_render_context;

namespace luming::bench {

// The least a program needs to show a video with libmpv's render API: the yardstick the window's
// player movie is measured against. Options as the product's (keep-open, the sound outputs).
class BareMpvVideo : public QOpenGLWidget {
public:
    BareMpvVideo();
    ~BareMpvVideo() override;
    void Load(const QString& file);
    void Stop();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    mpv_handle* mpv_;
    mpv_render_context* render_ = nullptr;
};

// Audio only, as the product's audio player: time-pos followed through property events.
class BareMpvAudio : public QObject {
public:
    BareMpvAudio();
    ~BareMpvAudio() override;
    void Load(const QString& file);
    void Stop();
    double Position() const { return position_; }

private:
    void Drain();
    mpv_handle* mpv_;
    double position_ = 0;
};

} // namespace luming::bench
