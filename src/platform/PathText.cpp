#include "platform/PathText.h"

#include <algorithm>

namespace quillo::platform {

namespace {

bool isDotComponent(std::string_view component) {
    return component == "." || component == "..";
}

}  // namespace

std::string withoutTrailingSlashes(std::string_view path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') {
        --end;
    }
    return std::string(path.substr(0, end));
}

std::string joinedPath(std::string folder, std::string_view name) {
    if (!folder.ends_with('/')) {
        folder.push_back('/');
    }
    folder.append(name);
    return folder;
}

std::vector<std::string_view> pathComponents(std::string_view path) {
    std::vector<std::string_view> components;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view component = path.substr(0, slash);
        if (!component.empty()) {
            components.push_back(component);
        }
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return components;
}

bool hasDotComponent(const std::vector<std::string_view>& components) {
    return std::any_of(components.begin(), components.end(), isDotComponent);
}

std::optional<std::vector<std::string_view>> componentsBelow(std::string_view root,
                                                             std::string_view path) {
    const std::vector<std::string_view> rootParts = pathComponents(root);
    const std::vector<std::string_view> parts = pathComponents(path);
    const bool sameAnchor = root.starts_with('/') == path.starts_with('/');
    if (!sameAnchor || parts.size() <= rootParts.size() ||
        !std::equal(rootParts.begin(), rootParts.end(), parts.begin())) {
        return std::nullopt;
    }
    std::vector<std::string_view> below(
        parts.begin() + static_cast<std::ptrdiff_t>(rootParts.size()), parts.end());
    if (hasDotComponent(below)) {
        return std::nullopt;
    }
    return below;
}

bool endsInDotComponent(std::string_view path) {
    const std::vector<std::string_view> components = pathComponents(path);
    return !components.empty() && isDotComponent(components.back());
}

}  // namespace quillo::platform
