#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform.h"

namespace orvalin {

// How the engine puts a date where the user is: erase the last `erase` characters typed, then
// insert `text`, `delay` from now (zero: in the same turn). The clipboard sequence is one route,
// a direct commit into the focused application another.
class InsertionRoute {
public:
    virtual ~InsertionRoute() = default;
    virtual void insert(std::string text, std::size_t erase, Scheduler::Duration delay) = 0;
    // True while an insertion has been asked for and is not finished.
    virtual bool busy() const = 0;
};

// The route of desktops that take text directly: no clipboard to save or restore, so each
// insertion is a single step.
class DirectInsertionRoute final : public InsertionRoute {
public:
    DirectInsertionRoute(TextInserter& inserter, Scheduler& scheduler);
    // Insertions still waiting for their delay are dropped.
    ~DirectInsertionRoute() override;
    DirectInsertionRoute(const DirectInsertionRoute&) = delete;
    DirectInsertionRoute& operator=(const DirectInsertionRoute&) = delete;

    void insert(std::string text, std::size_t erase, Scheduler::Duration delay) override;
    bool busy() const override { return !waiting_.empty(); }

private:
    TextInserter& inserter_;
    Scheduler& scheduler_;
    std::vector<Scheduler::TimerId> waiting_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orvalin
