#pragma once

#include "playback/LrcReader.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QLabel;
class QTimer;
class QToolButton;
class QWidget;

namespace luming {

struct Settings;
struct TKrvPlay;
class ReadAlongStrip;
class ReadAlongView;
class TextFetch;
class Transport;
class VendorLibrary;

// The read-along of the programme that plays: its file found as the programme is (beside it in
// the cache or the download folder, else on the vendor's server), its pinyin, and what the child
// sees: the poem in front of an audio programme's page, or the line being read as a strip under
// a video or a text, which the child can turn off. The lit line follows the player's position
// (looked at every 25 ms, only while a read-along shows) and is told to screen readers.
class ReadAlongPresenter : public QObject {
    Q_OBJECT
public:
    struct Places {
        QWidget* playArea;        // the poem stands here, in front of the audio page
        QWidget* stripArea;       // the strip docks at its bottom, above the transport bar
        QToolButton* stripButton; // turns the strip on and off
    };
    ReadAlongPresenter(const Settings& settings, VendorLibrary& vendor, Transport& transport,
                       Places places, std::function<void()> changed);
    ~ReadAlongPresenter() override;

    // The programme `play` has started (its source is chosen): its read-along is looked for, or
    // kept when it is the programme shown.
    // `channel` is the current channel, `fromVendor` whether the programme comes from the
    // vendor's server (only then is its read-along asked of the server).
    void Start(const TKrvPlay& play, int channel, bool fromVendor);
    // The programme is left: nothing of its read-along stays.
    void Stop();
    // Turns the strip of videos and texts on or off; the choice is kept in local.ini.
    void ToggleStrip();
    bool StripOn() const { return stripOn_; }

    // The read-along's text for the desktop's media session (title, author, lines); empty
    // without one.
    std::string Lyrics() const;
    // The lit line, as a screen reader is told it; empty while none is lit.
    QString SpokenLine() const;
    // Shows the line where the player is now (the timer does this every 25 ms).
    void Follow();

    // Whether the pinyin of the read-along shown is all there (it is read after the poem shows).
    bool PinyinShown() const { return poem_ && !pinyinPending_; }
    ReadAlongView* View() const { return view_; }
    ReadAlongStrip* Strip() const { return strip_; }

    // The key of local.ini that keeps whether the strip shows: not a number, so that it never
    // meets a channel's remembered programme ("26", "26.id").
    static constexpr char kStripKey[] = "ReadAlongStrip";

signals:
    // Another line is lit (or none), as the player reached it.
    void LineLit();

private:
    // The file's bytes came (from a file or the server): read them and show the read-along.
    void Show(const std::string& bytes, const std::string& programme);
    // Reads the pinyin of the lines the file gives none for, away from the window (making the
    // script engine and its dictionary takes most of a second), and shows it when it comes.
    void ReadPinyin();
    void PinyinRead(int generation, std::vector<std::vector<std::string>> readings);
    void ShowPoemInView();
    void Present();
    // Shows the lit line in the poem, the strip and the status line.
    void ShowLit();
    void ShowStripButton();

    const Settings& settings_;
    VendorLibrary& vendor_;
    Transport& transport_;
    Places places_;
    std::function<void()> changed_;
    TextFetch* fetch_ = nullptr;
    QTimer* follow_ = nullptr;
    ReadAlongView* view_ = nullptr;
    ReadAlongStrip* strip_ = nullptr;
    // Tells a screen reader the lit line: a status line named by it, too small to be seen.
    QLabel* spoken_ = nullptr;
    bool stripOn_ = true;

    const TKrvPlay* play_ = nullptr; // the programme the read-along belongs to
    std::string type_;
    std::optional<ReadAlong> poem_;
    std::vector<std::vector<std::string>> readings_;
    std::optional<size_t> lit_;
    // Counts the read-alongs shown, so that pinyin read for an earlier one is dropped.
    int generation_ = 0;
    bool pinyinPending_ = false;
    std::thread pinyinThread_;
};

} // namespace luming
