#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

namespace luming {

// The address space of the Ruffle page, "luming-flash://player/...":
//   player.html, downloads.js, bridge.js   the page (built into the program)
//   ruffle/<name>            Ruffle's scripts and .wasm files, by name only
//   wrapper/<n>.swf          the wrapper movie of load number n
//   programme/<n>/<name>     the local programme of load number n, and no other file, or the
//                            bytes offered under that name
// Anything else, or an older load's number, is not found.
class RufflePageFiles : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    RufflePageFiles(const QString& ruffleDir, QObject* parent);

    static QString PageUrl();
    // The addresses of load number `load`.
    static QString WrapperUrl(int load);
    static QString ProgrammeUrl(int load, const QString& path);

    void Offer(int load, QByteArray wrapper, QString programmePath);
    // The programme as bytes in memory (a movie still arriving), under `name`.
    void OfferBytes(int load, QByteArray wrapper, QString name, QByteArray programme);
    void Withdraw() { Offer(-1, {}, {}); }

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QString ruffleDir_;
    QSet<QString> ruffleFiles_;
    int load_ = -1;
    QByteArray wrapper_;
    QString programmePath_;
    QString programmeName_;
    QByteArray programmeBytes_;
};

} // namespace luming
