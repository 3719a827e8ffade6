#include <iostream>

#include "core/format_catalogue.h"

int main() {
    orvalin::JsonFilePreferencesStore store(orvalin::JsonFilePreferencesStore::defaultPath());
    orvalin::FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    for (const orvalin::Shortcut& s : catalogue.shortcuts()) {
        std::cout << s.label << "\t\"" << s.trigger << "\"\t" << s.formattedDate() << '\n';
    }
    return 0;
}
