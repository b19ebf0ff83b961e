#include "platform/ruffle/RufflePageFiles.h"

#include "platform/ruffle/RuffleScheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QWebEngineUrlRequestJob>

namespace luming {

namespace {

const QString kHost = QStringLiteral("player");

QByteArray ContentType(const QString& name) {
    if (name.endsWith(".html"))
        return "text/html; charset=utf-8";
    if (name.endsWith(".js"))
        return "text/javascript";
    if (name.endsWith(".wasm"))
        return "application/wasm";
    if (name.endsWith(".swf"))
        return "application/x-shockwave-flash";
    return "application/octet-stream";
}

QString Base() {
    return QString::fromLatin1(kRuffleScheme) + "://" + kHost + "/";
}

} // namespace

RufflePageFiles::RufflePageFiles(const QString& ruffleDir, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), ruffleDir_(ruffleDir) {
    const QStringList names =
        QDir(ruffleDir).entryList({"*.js", "*.wasm"}, QDir::Files | QDir::Readable);
    ruffleFiles_ = QSet<QString>(names.begin(), names.end());
}

QString RufflePageFiles::PageUrl() {
    return Base() + "player.html";
}

QString RufflePageFiles::WrapperUrl(int load) {
    return Base() + QString("wrapper/%1.swf").arg(load);
}

QString RufflePageFiles::ProgrammeUrl(int load, const QString& path) {
    return Base() + QString("programme/%1/").arg(load) +
           QString::fromUtf8(QUrl::toPercentEncoding(QFileInfo(path).fileName()));
}

void RufflePageFiles::Offer(int load, QByteArray wrapper, QString programmePath) {
    load_ = load;
    wrapper_ = std::move(wrapper);
    programmePath_ = std::move(programmePath);
    programmeName_.clear();
    programmeBytes_.clear();
}

void RufflePageFiles::OfferBytes(int load, QByteArray wrapper, QString name, QByteArray programme) {
    Offer(load, std::move(wrapper), {});
    programmeName_ = std::move(name);
    programmeBytes_ = std::move(programme);
}

void RufflePageFiles::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    const QStringList parts = url.path().split('/', Qt::SkipEmptyParts);
    const QString current = QString::number(load_);
    QIODevice* device = nullptr;
    if (url.host() != kHost || parts.isEmpty()) {
        // not ours
    } else if (parts.size() == 1 && (parts[0] == "player.html" || parts[0] == "downloads.js" ||
                                     parts[0] == "bridge.js")) {
        device = new QFile(":/ruffle/" + parts[0], job);
    } else if (parts.size() == 2 && parts[0] == "ruffle" && ruffleFiles_.contains(parts[1])) {
        device = new QFile(ruffleDir_ + "/" + parts[1], job);
    } else if (parts.size() == 2 && parts[0] == "wrapper" && parts[1] == current + ".swf" &&
               !wrapper_.isEmpty()) {
        auto* buffer = new QBuffer(job);
        buffer->setData(wrapper_);
        device = buffer;
    } else if (parts.size() == 3 && parts[0] == "programme" && parts[1] == current &&
               !programmePath_.isEmpty()) {
        device = new QFile(programmePath_, job);
    } else if (parts.size() == 3 && parts[0] == "programme" && parts[1] == current &&
               parts[2] == programmeName_ && !programmeBytes_.isEmpty()) {
        auto* buffer = new QBuffer(job);
        buffer->setData(programmeBytes_);
        device = buffer;
    }
    if (!device || !device->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(ContentType(parts.last()), device);
}

} // namespace luming
