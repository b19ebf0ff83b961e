#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;

namespace luming {

// What a fetch takes at most: a slower answer is given up; of a larger one only the first `bytes`
// are read, or, with `wholeOrNothing`, none (it is cut off as soon as it outgrows them).
struct TextFetchLimits {
    qint64 bytes = 1 << 20;    // a text programme is a page or two
    int milliseconds = 120000; // the vendor's library may hold it while it waits out a break
    bool wholeOrNothing = false;
};

// Reads a text programme, from a local file at once or from an address (the vendor library's
// local server) without holding up the window. A new start or Cancel drops the one before: its
// answer never arrives.
class TextFetch : public QObject {
    Q_OBJECT
public:
    // The bytes, or not ok and the reason.
    using Done = std::function<void(bool ok, const std::string& bytes, const std::string& error)>;

    using Limits = TextFetchLimits;

    explicit TextFetch(QObject* parent, Limits limits = {});

    void Start(const std::string& source, Done done);
    void Cancel();

private:
    Limits limits_;
    QNetworkAccessManager* network_ = nullptr;
    QPointer<QNetworkReply> reply_;
};

} // namespace luming
