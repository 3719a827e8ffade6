#pragma once

#include <xcb/xcb.h>

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/x11/kept_selections.h"

namespace orvalin::x11 {

// Serves the kept selections from a window of its own, answering every request the way a
// selection owner must, until it owns none of them any more.
class SelectionKeeper {
public:
    SelectionKeeper(xcb_connection_t* c, std::vector<KeptSelection> kept);
    // Takes the selections, tells the starting program on standard output, and serves them;
    // returns the process's exit status.
    int run();

private:
    xcb_atom_t atom(const std::string& name);
    xcb_timestamp_t serverTime();
    std::vector<std::pair<xcb_atom_t, const std::string*>> offers(const KeptSelection& k);
    bool reply(const xcb_selection_request_event_t& request, xcb_atom_t property);
    void answer(const xcb_selection_request_event_t& request);

    xcb_connection_t* c_;
    std::vector<KeptSelection> kept_;
    xcb_window_t root_ = 0;
    xcb_window_t window_ = 0;
    xcb_timestamp_t since_ = XCB_CURRENT_TIME;
    std::size_t maxBytes_ = 0;
    std::map<std::string, xcb_atom_t> atoms_;
    std::map<xcb_atom_t, const KeptSelection*> owned_;
};

}  // namespace orvalin::x11
