#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lexical path rules shared by every layer. Paths are the operating system's bytes held in
// std::string; nothing here touches the file system except normalizedPath reading the current
// directory for a relative input. Symbolic links are never resolved.
namespace tarnwick {

// Absolute, standardized form: "." dropped, ".." folded into its parent (never above "/"), duplicate
// and trailing separators removed. A relative path is taken relative to the current directory.
std::string normalizedPath(std::string_view path);

// True when candidate is root or lies below it, after normalizing both; /a/bc is not inside /a/b.
bool isPathInside(std::string_view candidate, std::string_view root);

// The components of an absolute path from the root, the root "/" itself dropped.
std::vector<std::string> pathComponents(std::string_view path);

// Last component ("/" for the root); parent path ("/" for a child of the root and for the root).
std::string_view lastPathComponent(std::string_view path);
std::string_view parentPath(std::string_view path);

// The part of a name after its last "."; empty when it has none.
std::string_view pathExtension(std::string_view name);

// Appends one component to a standardized folder path.
std::string joinPath(std::string_view folder, std::string_view name);

// Whether the components of an absolute standardized path end with the given components,
// compared case-sensitively. Fewer components than the list never match.
bool pathEndsWithComponents(std::string_view path, const std::vector<std::string> &components);

// Whether the components of an absolute standardized path contain the given run consecutively.
bool pathContainsComponentRun(std::string_view path, const std::vector<std::string> &components);

// Case-insensitive equality of ASCII text; other bytes compare exactly.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tarnwick
