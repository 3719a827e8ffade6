#pragma once

#include <string>

#include "engine/platform.h"

namespace orvalin::x11 {

class X11Connection;

// The program may watch and inject keys when the display answers and offers RECORD, XTEST and
// XKB. A server's extensions stay for its life and a lost connection ends the program, so a yes
// is not asked again: the engine's periodic check then costs no round trip.
class X11TrustQuery : public TrustQuery {
public:
    explicit X11TrustQuery(X11Connection* conn) : conn_(conn) {}
    bool isTrusted() override;
    // What is missing, in words, empty when nothing is.
    std::string missing();

private:
    X11Connection* conn_;
    bool trusted_ = false;
};

}  // namespace orvalin::x11
