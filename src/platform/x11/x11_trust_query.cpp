#include "platform/x11/x11_trust_query.h"

#include <QCoreApplication>

#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

std::string X11TrustQuery::missing() {
    if (conn_ == nullptr || !conn_->alive())
        return QCoreApplication::translate("orvalin", "le serveur X ne répond pas").toStdString();
    std::string absent;
    for (const char* ext : {"RECORD", "XTEST", "XKEYBOARD"}) {
        if (!conn_->hasExtension(ext)) {
            if (!absent.empty()) absent += ", ";
            absent += ext;
        }
    }
    if (absent.empty()) return {};
    return QCoreApplication::translate("orvalin", "extensions X absentes : %1")
        .arg(QString::fromStdString(absent))
        .toStdString();
}

bool X11TrustQuery::isTrusted() {
    if (trusted_ && !conn_->broken()) return true;
    trusted_ = missing().empty();
    return trusted_;
}

}  // namespace orvalin::x11
