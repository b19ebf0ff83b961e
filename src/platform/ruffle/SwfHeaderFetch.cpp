#include "platform/ruffle/SwfHeaderFetch.h"

#include "platform/ruffle/RuffleTexts.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace luming {

namespace {

// Far more than any header needs, even a compressed one.
constexpr int kHeaderBytes = 64 * 1024;

} // namespace

SwfHeaderFetch::SwfHeaderFetch(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {}

SwfHeaderFetch::~SwfHeaderFetch() {
    Cancel();
}

void SwfHeaderFetch::Start(const QUrl& url, Done done) {
    Cancel();
    done_ = std::move(done);
    QNetworkRequest request(url);
    request.setRawHeader("Range", "bytes=0-" + QByteArray::number(kHeaderBytes - 1));
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, [this] { Check(false); });
    connect(reply_, &QNetworkReply::finished, this, [this] { Check(true); });
}

void SwfHeaderFetch::Cancel() {
    done_ = nullptr;
    bytes_.clear();
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void SwfHeaderFetch::Check(bool finished) {
    if (!reply_)
        return;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400 || (finished && reply_->error() != QNetworkReply::NoError)) {
        Finish({}, texts::kRefused + (status ? " (HTTP " + std::to_string(status) + ")" : ""));
        return;
    }
    if (bytes_.size() < kHeaderBytes)
        bytes_ += reply_->read(kHeaderBytes - bytes_.size());
    const SwfHeaderResult result =
        ReadSwfHeader(std::string_view(bytes_.constData(), static_cast<size_t>(bytes_.size())));
    switch (result.status) {
    case SwfHeaderStatus::Ok:
        Finish(result.header, {});
        break;
    case SwfHeaderStatus::NeedMoreBytes:
        if (finished || bytes_.size() >= kHeaderBytes)
            Finish({}, texts::kNotFlash);
        break;
    case SwfHeaderStatus::Invalid:
        Finish({}, texts::kNotFlash);
        break;
    case SwfHeaderStatus::Unsupported:
        Finish({}, texts::kUnsupported + (" (" + result.error + ")"));
        break;
    }
}

void SwfHeaderFetch::Finish(const SwfHeader& header, const std::string& error) {
    Done done = std::move(done_);
    Cancel();
    if (done)
        done(header, error);
}

} // namespace luming
