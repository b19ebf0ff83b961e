#include "BareMpv.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <functional>

namespace luming::bench {

namespace {

mpv_handle* CreateMpv(std::initializer_list<std::pair<const char*, const char*>> options) {
    mpv_handle* mpv = mpv_create();
    for (const auto& [name, value] : {std::pair{"keep-open", "yes"},
                                      {"idle", "yes"},
                                      {"ao", "pipewire,pulse,alsa,null"},
                                      {"terminal", "no"}})
        mpv_set_option_string(mpv, name, value);
    for (const auto& [name, value] : options)
        mpv_set_option_string(mpv, name, value);
    mpv_initialize(mpv);
    return mpv;
}

void Command(mpv_handle* mpv, const char* verb, const QString& argument = {}) {
    const QByteArray bytes = argument.toUtf8();
    const char* args[] = {verb, argument.isEmpty() ? nullptr : bytes.constData(), nullptr};
    mpv_command_async(mpv, 0, args);
}

void* GetProcAddress(void*, const char* name) {
    return reinterpret_cast<void*>(QOpenGLContext::currentContext()->getProcAddress(name));
}

// Both bare players empty mpv's event queue as any client must, and do nothing else with it.
void DrainEvents(mpv_handle* mpv, const std::function<void(mpv_event*)>& take = {}) {
    while (mpv_event* event = mpv_wait_event(mpv, 0)) {
        if (event->event_id == MPV_EVENT_NONE)
            break;
        if (take)
            take(event);
    }
}

} // namespace

BareMpvVideo::BareMpvVideo() : mpv_(CreateMpv({{"vo", "libmpv"}})) {
    mpv_set_wakeup_callback(
        mpv_,
        [](void* self) {
            QMetaObject::invokeMethod(
                static_cast<BareMpvVideo*>(self),
                [self] { DrainEvents(static_cast<BareMpvVideo*>(self)->mpv_); },
                Qt::QueuedConnection);
        },
        this);
}

BareMpvVideo::~BareMpvVideo() {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    makeCurrent();
    if (render_)
        mpv_render_context_free(render_);
    doneCurrent();
    mpv_terminate_destroy(mpv_);
}

void BareMpvVideo::Load(const QString& file) {
    Command(mpv_, "loadfile", file);
}

void BareMpvVideo::Stop() {
    Command(mpv_, "stop");
}

void BareMpvVideo::initializeGL() {
    mpv_opengl_init_params gl{&GetProcAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_create(&render_, mpv_, params);
    mpv_render_context_set_update_callback(
        render_,
        [](void* self) {
            QMetaObject::invokeMethod(static_cast<BareMpvVideo*>(self),
                                      qOverload<>(&QWidget::update), Qt::QueuedConnection);
        },
        this);
}

void BareMpvVideo::paintGL() {
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), width(), height(), 0};
    int flip = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flip},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(render_, params);
}

BareMpvAudio::BareMpvAudio() : mpv_(CreateMpv({{"vid", "no"}, {"force-window", "no"}})) {
    mpv_observe_property(mpv_, 0, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_set_wakeup_callback(
        mpv_,
        [](void* self) {
            QMetaObject::invokeMethod(
                static_cast<BareMpvAudio*>(self),
                [self] { static_cast<BareMpvAudio*>(self)->Drain(); }, Qt::QueuedConnection);
        },
        this);
}

BareMpvAudio::~BareMpvAudio() {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    mpv_terminate_destroy(mpv_);
}

void BareMpvAudio::Load(const QString& file) {
    position_ = 0;
    Command(mpv_, "loadfile", file);
}

void BareMpvAudio::Stop() {
    Command(mpv_, "stop");
    position_ = 0;
}

void BareMpvAudio::Drain() {
    DrainEvents(mpv_, [this](mpv_event* event) {
        if (event->event_id != MPV_EVENT_PROPERTY_CHANGE)
            return;
        const auto* property = static_cast<mpv_event_property*>(event->data);
        if (property->format == MPV_FORMAT_DOUBLE)
            position_ = *static_cast<double*>(property->data);
    });
}

} // namespace luming::bench
