#include "shell/TextFetch.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

namespace luming {

namespace {

// A text programme is a page or two; anything past this is not read.
constexpr qint64 kLargestText = 1 << 20;
// The vendor's library may hold the answer while it waits out a broken connection.
constexpr int kTransferTimeoutMs = 120000;

} // namespace

TextFetch::TextFetch(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {}

void TextFetch::Cancel() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    reply_ = nullptr;
}

void TextFetch::Start(const std::string& source, Done done) {
    Cancel();
    const QString address = QString::fromStdString(source);
    const QUrl url(address);
    if (url.scheme() != "http" && url.scheme() != "https") {
        QFile file(address);
        if (!file.open(QIODevice::ReadOnly)) {
            done(false, {}, file.errorString().toStdString() + ": " + source);
            return;
        }
        const QByteArray bytes = file.read(kLargestText);
        done(true, bytes.toStdString(), {});
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeoutMs);
    reply_ = network_->get(request);
    QNetworkReply* reply = reply_;
    connect(reply, &QNetworkReply::finished, this, [this, reply, done = std::move(done)] {
        reply->deleteLater();
        if (reply_ == reply)
            reply_ = nullptr;
        if (reply->error() != QNetworkReply::NoError) {
            done(false, {}, reply->errorString().toStdString());
            return;
        }
        done(true, reply->read(kLargestText).toStdString(), {});
    });
}

} // namespace luming
