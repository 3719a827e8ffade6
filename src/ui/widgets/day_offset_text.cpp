#include "ui/widgets/day_offset_text.h"

#include <QCoreApplication>

namespace orvalin::ui {

QString dayOffsetPhrase(int days) {
    if (days == 0) return {};
    if (days == 1) return QCoreApplication::translate("DayOffset", "demain");
    if (days == -1) return QCoreApplication::translate("DayOffset", "hier");
    if (days > 0) return QCoreApplication::translate("DayOffset", "dans %1 jours").arg(days);
    return QCoreApplication::translate("DayOffset", "il y a %1 jours").arg(-static_cast<qint64>(days));
}

}  // namespace orvalin::ui
