#include "platform/ruffle/MovieDownload.h"

#include "platform/ruffle/RuffleTexts.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace luming {

MovieDownload::MovieDownload(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {}

MovieDownload::~MovieDownload() {
    Cancel();
}

void MovieDownload::Start(const QUrl& url, Bytes bytes, Done done) {
    Cancel();
    bytes_ = std::move(bytes);
    done_ = std::move(done);
    reply_ = network_->get(QNetworkRequest(url));
    connect(reply_, &QNetworkReply::readyRead, this, &MovieDownload::Read);
    connect(reply_, &QNetworkReply::finished, this, &MovieDownload::Finish);
}

void MovieDownload::Cancel() {
    bytes_ = nullptr;
    done_ = nullptr;
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void MovieDownload::Read() {
    if (!reply_ || reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400)
        return; // the refusal is told when the reply ends
    const QByteArray chunk = reply_->readAll();
    if (bytes_ && !chunk.isEmpty())
        bytes_(std::string_view(chunk.constData(), static_cast<size_t>(chunk.size())));
}

void MovieDownload::Finish() {
    if (!reply_)
        return;
    Read();
    if (!reply_)
        return; // cancelled by the bytes' receiver
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    std::string error;
    if (status >= 400)
        error = texts::kRefused + " (HTTP " + std::to_string(status) + ")";
    else if (reply_->error() != QNetworkReply::NoError)
        error = texts::kDownloadFailed;
    Done done = std::move(done_);
    Cancel();
    if (done)
        done(error);
}

} // namespace luming
