#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace tarnwick {
class CancellationToken;
}

namespace tarnwick::MaintenanceRunner {

// How long a tool asked to stop may take before it is killed.
inline constexpr std::chrono::milliseconds kStopGrace{2000};

// Runs one developer tool to completion on the calling thread and returns the text to show for it.
// The tool is found through /usr/bin/env, so the search path of this process decides which `brew`
// or `docker` runs. Never fails as a whole: a tool that cannot be launched, that prints nothing or
// that prints something unreadable still yields a sentence. Needs no event loop, so it can run on a
// pool thread; blocks until the tool exits, with no limit on how much it prints.
std::string run(const std::string &tool, const std::vector<std::string> &arguments);

// The same, stopped when `stop` is cancelled: the tool and everything it started (it runs in a
// process group of its own) get SIGTERM, then SIGKILL after `grace`. Returns once the tool is gone,
// with what it printed until then.
std::string run(const std::string &tool, const std::vector<std::string> &arguments, const CancellationToken &stop,
                std::chrono::milliseconds grace = kStopGrace);

// `run` with the launching program as a parameter, so that a program that cannot be started at all
// can be tried.
std::string runThrough(const std::string &launcher, const std::string &tool,
                       const std::vector<std::string> &arguments, const CancellationToken *stop = nullptr,
                       std::chrono::milliseconds grace = kStopGrace);

}  // namespace tarnwick::MaintenanceRunner
