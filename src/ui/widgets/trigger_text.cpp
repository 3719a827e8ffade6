#include "ui/widgets/trigger_text.h"

namespace orvalin::ui {

QString trimSpacesAndTabs(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return QString::fromStdString(text.substr(first, last - first + 1));
}

}  // namespace orvalin::ui
