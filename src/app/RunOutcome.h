#pragma once

namespace tarnwick {

// How the last scan or cleanup ended, as its status text tells it. The texts stay the product's
// words; views that need to know which kind of end they are looking at read this instead.
enum class RunOutcome {
    none,                // the status line says something else
    scanFound,           // "Found 3 folders, about 1.2 GB."
    scanFoundNothing,    // "No cleanup folders found."
    scanCancelled,       // "Scan cancelled."
    scanFailed,          // "Scan failed."
    cleanupDone,         // "Moved 2 folders to Trash.", also with failures: "Deleted 1 folder. 1 failed."
    cleanupCancelled,    // "Cleanup cancelled. Moved 2 folders."
    cleanupAlreadyGone,  // "2 folders already gone." (nothing cleaned, nothing failed)
};

}  // namespace tarnwick
