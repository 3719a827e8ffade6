#include "engine/insertion_route.h"

#include <algorithm>

namespace orvalin {

DirectInsertionRoute::DirectInsertionRoute(TextInserter& inserter, Scheduler& scheduler)
    : inserter_(inserter), scheduler_(scheduler) {}

DirectInsertionRoute::~DirectInsertionRoute() {
    alive_.reset();
    for (Scheduler::TimerId id : waiting_) scheduler_.cancel(id);
}

void DirectInsertionRoute::insert(std::string text, std::size_t erase, Scheduler::Duration delay) {
    if (delay.count() <= 0) {
        inserter_.insertText(erase, text);
        return;
    }
    // The id is known only once scheduled; the task finds itself through a shared slot.
    auto self = std::make_shared<Scheduler::TimerId>(0);
    *self = scheduler_.scheduleOnce(
        delay, [this, self, alive = std::weak_ptr<bool>(alive_), erase, text = std::move(text)] {
            if (alive.expired()) return;
            std::erase(waiting_, *self);
            inserter_.insertText(erase, text);
        });
    waiting_.push_back(*self);
}

}  // namespace orvalin
