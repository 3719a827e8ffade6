#pragma once

#include <QString>
#include <string>

namespace orvalin::ui {

// A trigger as shown to the user: spaces and tabs off both ends; line breaks stay.
QString trimSpacesAndTabs(const std::string& text);

}  // namespace orvalin::ui
