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

bool endsInDotComponent(std::string_view path) {
    const std::vector<std::string_view> components = pathComponents(path);
    return !components.empty() && isDotComponent(components.back());
}

}  // namespace quillo::platform
