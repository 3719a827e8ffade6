#include "ui/capture/combination_text.h"

#include <QCoreApplication>

#include "core/key_combination.h"

namespace orvalin::ui {

QString combinationText(const GlobalShortcut& shortcut) {
    return QString::fromStdString(linuxCombinationText(shortcut, [](const char* name) {
        return QCoreApplication::translate("KeyName", name).toStdString();
    }));
}

}  // namespace orvalin::ui
