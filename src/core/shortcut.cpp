#include "core/shortcut.h"

#include "core/date_format.h"

namespace orvalin {

std::string Shortcut::formattedDate() const {
    return formatDate(std::chrono::system_clock::now(), dateFormat);
}

}  // namespace orvalin
