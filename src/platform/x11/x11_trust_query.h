#pragma once

#include <string>

#include "engine/platform.h"

namespace orvalin::x11 {

class X11Connection;

// The program may watch and inject keys when the display answers and offers RECORD, XTEST and
// XKB.
class X11TrustQuery : public TrustQuery {
public:
    explicit X11TrustQuery(X11Connection* conn) : conn_(conn) {}
    bool isTrusted() override;
    // What is missing, in words, empty when nothing is.
    std::string missing();

private:
    X11Connection* conn_;
};

}  // namespace orvalin::x11
