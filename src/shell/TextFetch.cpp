#include "shell/TextFetch.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

namespace luming {

namespace {

constexpr char kTooLarge[] = "larger than allowed";

} // namespace

TextFetch::TextFetch(QObject* parent, Limits limits)
    : QObject(parent), limits_(limits), network_(new QNetworkAccessManager(this)) {}

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
        const QByteArray bytes = file.read(limits_.bytes + 1);
        if (bytes.size() > limits_.bytes && limits_.wholeOrNothing) {
            done(false, {}, std::string(kTooLarge) + ": " + source);
            return;
        }
        done(true, bytes.left(limits_.bytes).toStdString(), {});
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(limits_.milliseconds);
    reply_ = network_->get(request);
    QNetworkReply* reply = reply_;
    // An answer that outgrows the limit is cut off at once rather than kept in memory.
    if (limits_.wholeOrNothing)
        connect(reply, &QNetworkReply::downloadProgress, this,
                [this, reply](qint64 received, qint64) {
                    if (received > limits_.bytes)
                        reply->abort();
                });
    connect(reply, &QNetworkReply::finished, this, [this, reply, done = std::move(done)] {
        reply->deleteLater();
        if (reply_ == reply)
            reply_ = nullptr;
        if (reply->error() != QNetworkReply::NoError) {
            done(false, {}, reply->errorString().toStdString());
            return;
        }
        const QByteArray bytes = reply->read(limits_.bytes + 1);
        if (bytes.size() > limits_.bytes && limits_.wholeOrNothing) {
            done(false, {}, kTooLarge);
            return;
        }
        done(true, bytes.left(limits_.bytes).toStdString(), {});
    });
}

} // namespace luming
