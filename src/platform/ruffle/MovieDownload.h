#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <string>
#include <string_view>

class QNetworkAccessManager;
class QNetworkReply;

namespace luming {

// Fetches a movie from an http address for the program itself, a piece at a time, so that the
// movie can start before it has all arrived.
class MovieDownload : public QObject {
    Q_OBJECT
public:
    using Bytes = std::function<void(std::string_view bytes)>;
    // Empty `error` when the whole movie has arrived.
    using Done = std::function<void(const std::string& error)>;

    explicit MovieDownload(QObject* parent);
    ~MovieDownload() override;

    void Start(const QUrl& url, Bytes bytes, Done done);
    // Forgets the running download; its callbacks are never called again.
    void Cancel();

private:
    void Read();
    void Finish();

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    Bytes bytes_;
    Done done_;
};

} // namespace luming
