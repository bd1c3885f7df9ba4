#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// A path as shown to a person, in a terminal or a window: unambiguous, and unable to steer what
// shows it or to pass for another path. Control bytes and bytes that are not valid UTF-8 become
// \xNN (a name with a newline stays on its line, odd bytes stay visible and tell two such names
// apart); C1 controls, the line and paragraph separators, and the marks, embeddings, overrides and
// isolates of bidirectional text become \u{XXXX} (so "report", U+202E, "fdp.exe" cannot show as
// "reportexe.pdf"); and a backslash becomes \\, so an escape always stands for what it says.
// UTF-8 in, UTF-8 out.
std::string visiblePath(std::string_view path);

}  // namespace tarnwick
