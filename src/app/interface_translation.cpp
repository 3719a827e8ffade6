#include "app/interface_translation.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

namespace orvalin {

bool installInterfaceTranslation(InterfaceLanguage language) {
    // Owned by the application object, so it goes with it.
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    if (language == InterfaceLanguage::French) return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral(":/i18n/orvalin_en.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

}  // namespace orvalin
