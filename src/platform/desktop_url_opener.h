#pragma once

#include "engine/platform.h"

namespace orvalin {

// Web addresses and local pages through the desktop's URL handler.
class DesktopUrlOpener : public UrlOpener {
public:
    bool open(const std::string& url) override;
};

}  // namespace orvalin
