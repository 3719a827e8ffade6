#pragma once

#include <QString>

namespace orvalin::ui {

// How a format's day offset is said after its date: "demain", "hier", "dans 7 jours", "il y a 3
// jours"; empty for today.
QString dayOffsetPhrase(int days);

}  // namespace orvalin::ui
