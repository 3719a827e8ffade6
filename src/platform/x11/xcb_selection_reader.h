#pragma once

#include <xcb/xcb.h>

#include <QObject>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "platform/selection_reader.h"

namespace orvalin::x11 {

class X11Connection;

// Reads another program's selection on the program's own connection: TARGETS first, then each
// format in turn into a property of a private window, the answers handled as the event loop
// brings them. The whole read has one bound; an owner that lists formats and never sends them
// costs that bound once, and what it did not give makes the content unreadable rather than
// partial. Large transfers in increments are followed; a format or a whole content above its cap
// is unreadable too (restoring the rest would lose it).
class XcbSelectionReader final : public SelectionReader {
public:
    explicit XcbSelectionReader(X11Connection& conn);
    ~XcbSelectionReader() override;
    XcbSelectionReader(const XcbSelectionReader&) = delete;
    XcbSelectionReader& operator=(const XcbSelectionReader&) = delete;

    void start(bool primary, Done done) override;
    bool settle(bool primary, std::chrono::milliseconds atMost) override;
    bool reading(bool primary) const override { return reads_[primary ? 1 : 0].window != XCB_WINDOW_NONE; }

    // Limits, lowered by tests.
    std::chrono::milliseconds bound{1000};
    std::size_t formatCap = std::size_t{16} << 20;
    std::size_t totalCap = std::size_t{64} << 20;

private:
    struct Read {
        xcb_atom_t selection = XCB_ATOM_NONE;
        xcb_window_t window = XCB_WINDOW_NONE;
        Done done;
        std::deque<std::pair<xcb_atom_t, std::string>> formats;  // still to ask for
        xcb_atom_t asked = XCB_ATOM_NONE;                        // TARGETS, then each format
        bool incremental = false;
        std::string incoming;  // an increment transfer so far
        std::size_t total = 0;
        PasteboardSnapshot content;
        std::chrono::steady_clock::time_point deadline;
        std::unique_ptr<QTimer> timer;
    };

    bool owned(xcb_atom_t selection);
    bool concerns(const Read& r, const xcb_generic_event_t& e) const;
    void handle(Read& r, const xcb_generic_event_t& e);
    void onNotify(Read& r, const xcb_selection_notify_event_t& e);
    void onProperty(Read& r, const xcb_property_notify_event_t& e);
    void takeTargets(Read& r, const std::string& atoms);
    bool takeFormat(Read& r, std::string bytes);
    void askNext(Read& r);
    void finish(Read& r, bool readable);
    void drop(Read& r);

    X11Connection& conn_;
    xcb_atom_t property_, targets_, incr_;
    std::array<Read, 2> reads_;
    int listener_ = 0;
    QObject context_;  // owns the calls queued on the event loop
};

}  // namespace orvalin::x11
