#include "platform/wayland/wayland_trust_query.h"

#include <QCoreApplication>

#include "platform/wayland/input_method.h"
#include "platform/wayland/wayland_connection.h"

namespace orvalin::wayland {

bool WaylandTrustQuery::isTrusted() {
    return missing().empty();
}

std::string WaylandTrustQuery::missing() const {
    if (connection_.broken())
        return QCoreApplication::translate("orvalin", "connexion au compositeur Wayland perdue")
            .toStdString();
    if (!inputMethod_.available())
        return QCoreApplication::translate("orvalin", "une autre méthode de saisie occupe déjà le clavier")
            .toStdString();
    return {};
}

}  // namespace orvalin::wayland
