#pragma once

#include "platform/ruffle/SwfHeader.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;

namespace luming {

// Reads the header of a movie from an http address: asks for the first bytes only and stops as
// soon as they decide. `done` gets the header, or an error text (then the header is unusable).
class SwfHeaderFetch : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const SwfHeader& header, const std::string& error)>;

    explicit SwfHeaderFetch(QObject* parent);
    ~SwfHeaderFetch() override;

    void Start(const QUrl& url, Done done);
    // Forgets the running request; its `done` is never called.
    void Cancel();

private:
    void Check(bool finished);
    void Finish(const SwfHeader& header, const std::string& error);

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    QByteArray bytes_;
    Done done_;
};

} // namespace luming
