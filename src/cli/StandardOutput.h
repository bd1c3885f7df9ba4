#pragma once

#include <cstdio>
#include <string_view>

// Standard output of the command line. Output that did not reach its destination (standard output
// closed, a full disk, /dev/full) must not end in a success status, so every write to stdout, by
// whichever code makes it, is checked and its first failure kept until the end.
namespace tarnwick::cli {

// Run first in main. A standard descriptor the caller closed is opened on /dev/null, so the first
// file the program opens cannot take its number and receive output meant for the user; standard
// output is opened read-only then, so writing to it still fails (EBADF). Then stdout is replaced
// by a stream that writes to descriptor 1 and remembers the first error of any write: the errno of
// a write made in the middle of a run would otherwise be gone by the time the run ends.
void takeOverStandardOutput();

// Writes all of `text` to `stream` and flushes it. False when some of it was not written.
bool writeOutput(std::string_view text, std::FILE *stream = stdout);

// Flushes and closes standard output. When any write to it failed, says so on standard error
// ("tarnwick-cli: cannot write output: <reason>") and turns a 0 `status` into 1; other statuses,
// which already say that something went wrong, are kept.
int finishOutput(int status);

}  // namespace tarnwick::cli
