#include "platform/web/FrameCompletion.h"

#include <QRandomGenerator>

namespace luming {

namespace {

const QString& Token() {
    static const QString token =
        QString("luming-frame-%1 ")
            .arg(QRandomGenerator::system()->generate64(), 16, 16, QChar('0'));
    return token;
}

} // namespace

QWebEngineScript FrameCompletionScript() {
    QWebEngineScript script;
    script.setName("luming-frame-completion");
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setRunsOnSubFrames(true);
    // The load event, not DOM ready: a frame is complete when its images are in too.
    script.setSourceCode(QString("(function () {"
                                 " if (window === window.top) return;"
                                 " var tell = function () { console.log('%1' + location.href); };"
                                 " if (document.readyState === 'complete') tell();"
                                 " else window.addEventListener('load', tell, { once: true });"
                                 "})();")
                             .arg(Token()));
    return script;
}

std::optional<QString> CompletedFrameAddress(const QString& consoleMessage) {
    if (!consoleMessage.startsWith(Token()))
        return std::nullopt;
    return consoleMessage.mid(Token().size());
}

} // namespace luming
