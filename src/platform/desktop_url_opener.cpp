#include "platform/desktop_url_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace orvalin {

bool DesktopUrlOpener::open(const std::string& url) {
    QUrl u(QString::fromStdString(url), QUrl::StrictMode);
    if (!u.isValid() || u.scheme().isEmpty()) return false;
    return QDesktopServices::openUrl(u);
}

}  // namespace orvalin
