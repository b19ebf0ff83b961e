#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace luming {

// The player movie's own slim bar at the bottom: a play/pause button and, when asked for, the
// time "mm:ss/mm:ss".
class PlayerBar : public QWidget {
    Q_OBJECT
public:
    explicit PlayerBar(QWidget* parent);

    void SetShowDigits(bool show);
    void Show(bool playing, double position, double duration);

signals:
    void playPauseClicked();

private:
    QToolButton* button_;
    QLabel* digits_;
    bool playing_ = false;
    bool shown_ = false;
};

} // namespace luming
