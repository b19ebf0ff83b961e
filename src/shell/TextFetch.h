#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;

namespace luming {

// Reads a text programme, from a local file at once or from an address (the vendor library's
// local server) without holding up the window. A new start or Cancel drops the one before: its
// answer never arrives.
class TextFetch : public QObject {
    Q_OBJECT
public:
    // The bytes, or not ok and the reason.
    using Done = std::function<void(bool ok, const std::string& bytes, const std::string& error)>;

    explicit TextFetch(QObject* parent);

    void Start(const std::string& source, Done done);
    void Cancel();

private:
    QNetworkAccessManager* network_ = nullptr;
    QPointer<QNetworkReply> reply_;
};

} // namespace luming
