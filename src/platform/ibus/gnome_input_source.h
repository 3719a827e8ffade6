#pragma once

#include <functional>

struct _GSettings;

namespace orvalin::ibus {

// GNOME reads IBus's engines once, when the shell connects to ibus-daemon, and keeps its own
// input source otherwise: while the user's current source in GNOME (the first of
// org.gnome.desktop.input-sources mru-sources) is ('ibus', 'orvalin'), `chosen` runs, at once
// and whenever that setting changes. Does nothing where GNOME's settings are not installed.
class GnomeInputSource {
public:
    explicit GnomeInputSource(std::function<void()> chosen);
    ~GnomeInputSource();
    GnomeInputSource(const GnomeInputSource&) = delete;
    GnomeInputSource& operator=(const GnomeInputSource&) = delete;

private:
    void check();

    std::function<void()> chosen_;
    _GSettings* settings_ = nullptr;
};

}  // namespace orvalin::ibus
