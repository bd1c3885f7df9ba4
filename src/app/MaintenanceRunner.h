#pragma once

#include <string>
#include <vector>

namespace tarnwick::MaintenanceRunner {

// Runs one developer tool to completion on the calling thread and returns the text to show for it.
// The tool is found through /usr/bin/env, so the search path of this process decides which `brew`
// or `docker` runs. Never fails as a whole: a tool that cannot be launched, that prints nothing or
// that prints something unreadable still yields a sentence. Needs no event loop, so it can run on a
// pool thread; blocks until the tool exits, with no limit on how much it prints.
std::string run(const std::string &tool, const std::vector<std::string> &arguments);

// `run` with the launching program as a parameter, so that a program that cannot be started at all
// can be tried.
std::string runThrough(const std::string &launcher, const std::string &tool,
                       const std::vector<std::string> &arguments);

}  // namespace tarnwick::MaintenanceRunner
