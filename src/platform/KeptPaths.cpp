#include "platform/KeptPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
        head = joinedPath(std::move(head), part);
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
        const std::vector<std::string_view> head(parts.begin(),
                                                 parts.begin() + std::ptrdiff_t(length));
        if (auto real = realPath(joined("/", head))) {
            return joined(
                std::move(*real),
                std::vector<std::string_view>(parts.begin() + std::ptrdiff_t(length), parts.end()));
        }
    }
    return std::nullopt;
}

bool isRealFolder(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The names in `folder` that `pattern` matches; links are entries like any other, and no
// link is followed into another folder.
std::vector<std::string> matchingNames(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        return names;
    }
    struct CloseListing {
        void operator()(DIR* listing) const { ::closedir(listing); }
    };
    const std::unique_ptr<DIR, CloseListing> listing(::fdopendir(descriptor));
    if (!listing) {
        ::close(descriptor);
        return names;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && KeepList::matchesComponent(pattern, name)) {
            names.emplace_back(name);
        }
    }
    return names;
}

// Whether something matching `rest` (components, with or without "*") exists in `folder`.
bool holdsMatch(const std::string& folder, const std::vector<std::string>& rest,
                std::size_t index) {
    const std::string& part = rest[index];
    const bool last = index + 1 == rest.size();
    const auto holdsBelow = [&](const std::string& name) {
        const std::string next = joined(folder, {name});
        struct stat status {};
        if (last) {
            return ::lstat(next.c_str(), &status) == 0;
        }
        return isRealFolder(next) && holdsMatch(next, rest, index + 1);
    };
    if (part.find('*') == std::string::npos) {
        return holdsBelow(part);
    }
    const auto names = matchingNames(folder, part);
    return std::ranges::any_of(names, holdsBelow);
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

bool KeptPaths::touchesAsSpelled(const std::string& path) const {
    if (written_.keeps(path) || resolved_.keeps(path)) {
        return true;
    }
    // An item that is a link is removed as itself; nothing behind it is reached.
    if (!isRealFolder(path)) {
        return false;
    }
    for (const KeepList* list : {&written_, &resolved_}) {
        for (const auto& rest : list->rulesBelow(path)) {
            if (holdsMatch(path, rest, 0)) {
                return true;
            }
        }
    }
    return false;
}

std::optional<std::string> KeptPaths::resolvedParent(const std::string& parent) const {
    const std::lock_guard lock(resolvedParentsLock_);
    auto known = resolvedParents_.find(parent);
    if (known == resolvedParents_.end()) {
        known = resolvedParents_.emplace(parent, realPath(parent)).first;
    }
    return known->second;
}

bool KeptPaths::touches(const std::string& path) const {
    if (written_.empty()) {
        return false;
    }
    const std::string text = withoutTrailingSlashes(path);
    if (touchesAsSpelled(text)) {
        return true;
    }
    const std::size_t slash = text.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return false;
    }
    const std::optional<std::string> realParent = resolvedParent(text.substr(0, slash));
    return realParent &&
           touchesAsSpelled(joined(*realParent, {std::string_view(text).substr(slash + 1)}));
}

}  // namespace quillo::platform
