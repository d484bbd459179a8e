#include "common/after_start.h"

#include <utility>
#include <vector>

namespace kestrum {
namespace {

struct AfterStart {
    bool over = false;
    std::vector<std::function<void()>> jobs;
};

AfterStart& State() {
    static AfterStart state;
    return state;
}

}  // namespace

void DoAfterStart(std::function<void()> job) {
    if (!job)
        return;
    if (State().over) {
        job();
        return;
    }
    State().jobs.push_back(std::move(job));
}

void StartIsOver() {
    if (std::exchange(State().over, true))
        return;
    // A job that adds another has it run at once: the start is over by then.
    std::vector<std::function<void()>> jobs = std::move(State().jobs);
    State().jobs.clear();
    for (const auto& job : jobs)
        job();
}

}  // namespace kestrum
