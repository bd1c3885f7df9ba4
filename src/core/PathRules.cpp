#include "core/PathRules.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

namespace tarnwick {

namespace {

std::string currentDirectory()
{
    // getcwd with a growing buffer: working directories deeper than PATH_MAX exist.
    std::size_t size = 4096;
    while (true) {
        auto buffer = std::make_unique<char[]>(size);
        if (::getcwd(buffer.get(), size) != nullptr) {
            return buffer.get();
        }
        if (errno != ERANGE) {
            return "/";
        }
        size *= 2;
    }
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string normalizedPath(std::string_view path)
{
    std::string input;
    if (path.empty() || path.front() != '/') {
        input = currentDirectory();
        input += '/';
    }
    input += path;

    std::vector<std::string_view> parts;
    std::string_view rest = input;
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    if (parts.empty()) {
        return "/";
    }
    std::string result;
    result.reserve(input.size());
    for (const auto part : parts) {
        result += '/';
        result += part;
    }
    return result;
}

bool isPathInside(std::string_view candidate, std::string_view root)
{
    const std::string normalizedCandidate = normalizedPath(candidate);
    const std::string normalizedRoot = normalizedPath(root);
    if (normalizedRoot == "/") {
        return normalizedCandidate.starts_with('/');
    }
    if (normalizedCandidate == normalizedRoot) {
        return true;
    }
    return normalizedCandidate.size() > normalizedRoot.size() &&
           normalizedCandidate.starts_with(normalizedRoot) &&
           normalizedCandidate[normalizedRoot.size()] == '/';
}

std::vector<std::string> pathComponents(std::string_view path)
{
    std::vector<std::string> components;
    while (!path.empty()) {
        const auto slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (!part.empty()) {
            components.emplace_back(part);
        }
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
    }
    return components;
}

std::string_view lastPathComponent(std::string_view path)
{
    if (path == "/") {
        return path;
    }
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view parentPath(std::string_view path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    if (slash == 0) {
        return path.substr(0, 1);
    }
    return path.substr(0, slash);
}

std::string_view pathExtension(std::string_view name)
{
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string result;
    result.reserve(folder.size() + 1 + name.size());
    result += folder;
    if (result.empty() || result.back() != '/') {
        result += '/';
    }
    result += name;
    return result;
}

bool pathEndsWithComponents(std::string_view path, const std::vector<std::string> &components)
{
    std::size_t end = path.size();
    for (auto it = components.rbegin(); it != components.rend(); ++it) {
        const std::string &component = *it;
        if (end < component.size() + 1) {
            return false;
        }
        const std::size_t start = end - component.size();
        if (path.substr(start, component.size()) != component || path[start - 1] != '/') {
            return false;
        }
        end = start - 1;
    }
    return true;
}

bool pathContainsComponentRun(std::string_view path, const std::vector<std::string> &components)
{
    std::string run = "/";
    for (const auto &component : components) {
        run += component;
        run += '/';
    }
    std::string haystack(path);
    haystack += '/';
    return haystack.find(run) != std::string::npos;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace tarnwick
