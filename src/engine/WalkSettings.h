#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace tarnwick {

// A point of a parallel walk where a test can look at or hold the worker that reached it.
struct WalkStep {
    enum class Kind {
        visiting, // a folder is about to be counted and matched
        measured, // a folder inside a match has been listed; the match cannot end before this step does
    };
    Kind kind;
    std::string_view path;
    std::size_t worker; // 0 is the thread that called the scan
};

// How a scan or a measurement spreads over threads.
struct WalkSettings {
    // Workers, the calling thread included; 0 means one per core the process may run on.
    unsigned threads = 0;
    // Test seam: called on the worker's thread at every step; may block or cancel the token.
    std::function<void(const WalkStep &)> probe;
};

// The number of workers the settings ask for: at least 1.
unsigned walkThreadCount(const WalkSettings &settings);

// How many folders along its descent each of `workers` keeps open (see WalkChain): the walk as a
// whole keeps about 128 open near the workers' current folders, plus one per window of depth.
std::size_t walkDescriptorWindow(std::size_t workers);

} // namespace tarnwick
