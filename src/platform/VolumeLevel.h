#pragma once

#include "playback/PlayerInterfaces.h"

#include <QObject>

namespace luming {

// The program's own output level, the same for every player it has or will create: full at
// start, never stored. Players follow `levelChanged`.
class VolumeLevel : public QObject, public IOutputVolume {
    Q_OBJECT
public:
    using QObject::QObject;

    uint32_t GetVolume() override { return volume_; }
    void SetVolume(uint32_t volume) override;

    // 0..255, from the louder channel.
    int Level() const;
    // 0..100, as libmpv takes it.
    double Percent() const { return Level() * 100.0 / 255.0; }

signals:
    void levelChanged(int level);

private:
    uint32_t volume_ = 0xFFFFFFFFu;
};

} // namespace luming
