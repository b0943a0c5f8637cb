#include "platform/KeptPaths.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/PathText.h"

namespace quillo::platform {

namespace {

std::optional<std::string> realPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::optional<std::string>(real.get()) : std::nullopt;
}

std::string joined(std::string head, const std::vector<std::string_view>& tail) {
    for (const std::string_view part : tail) {
        if (!head.ends_with('/')) {
            head.push_back('/');
        }
        head.append(part);
    }
    return head;
}

// The rule with its longest existing wildcard-free leading folder resolved.
std::optional<std::string> resolvedRule(const std::string& rule) {
    const auto parts = pathComponents(rule);
    std::size_t plain = 0;
    while (plain < parts.size() && parts[plain].find('*') == std::string_view::npos) {
        ++plain;
    }
    for (std::size_t length = plain; length > 0; --length) {
        const std::vector<std::string_view> head(parts.begin(), parts.begin() + length);
        if (auto real = realPath(joined("/", head))) {
            return joined(std::move(*real),
                          std::vector<std::string_view>(parts.begin() + length, parts.end()));
        }
    }
    return std::nullopt;
}

}  // namespace

KeptPaths::KeptPaths(const KeepList& list) : written_(list) {
    std::vector<std::string> resolved;
    for (const auto& rule : list.rules()) {
        if (auto real = resolvedRule(rule)) {
            resolved.push_back(std::move(*real));
        }
    }
    resolved_ = KeepList(resolved);
}

bool KeptPaths::touches(const std::string& path) const {
    if (written_.empty()) {
        return false;
    }
    if (written_.touches(path) || resolved_.touches(path)) {
        return true;
    }
    const std::string text = withoutTrailingSlashes(path);
    const std::size_t slash = text.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return false;
    }
    const std::string parent = text.substr(0, slash);
    auto known = resolvedParents_.find(parent);
    if (known == resolvedParents_.end()) {
        known = resolvedParents_.emplace(parent, realPath(parent)).first;
    }
    if (!known->second) {
        return false;
    }
    const std::string real = joined(*known->second, {std::string_view(text).substr(slash + 1)});
    return written_.touches(real) || resolved_.touches(real);
}

}  // namespace quillo::platform
