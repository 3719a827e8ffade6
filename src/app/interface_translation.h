#pragma once

#include "core/interface_language.h"

namespace orvalin {

// Puts the texts of the application object that exists in `language`: English loads the
// translation built into the program, French is the source and needs none. Called again, it
// replaces the previous choice. False when the translation could not be loaded (the texts then
// stay French).
bool installInterfaceTranslation(InterfaceLanguage language);

}  // namespace orvalin
