#pragma once

#include <ibus.h>

namespace orvalin::ibus {

class KeyTranslator;
class TypingRoute;

// The GObject type of the IBus engine "orvalin": an IBusEngineSimple that shows the route every
// key of a watched field first, and hands every key the route does not take to the simple engine
// unchanged, so dead keys and Compose work as without the program. IBus makes one per input
// context; all of them report to the one route.
GType engineType();

// One engine for the daemon's input context: made here so that it learns which client each
// field belongs to (the factory's "create-engine" handler).
IBusEngine* createEngine(IBusFactory* factory, const gchar* name);

// Where the engines report; null detaches them (keys then only go through).
void attachEngines(TypingRoute* route, KeyTranslator* translator);

}  // namespace orvalin::ibus
