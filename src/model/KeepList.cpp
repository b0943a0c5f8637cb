#include "model/KeepList.h"

#include <algorithm>
#include <cstddef>

namespace quillo {

namespace {

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start) {
            parts.push_back(path.substr(start, slash - start));
        }
        start = slash + 1;
    }
    return parts;
}

// Whether the rule's components match the path's as far as the shorter reaches.
bool agree(const std::vector<std::string_view>& rule, const std::vector<std::string_view>& path) {
    const std::size_t common = std::min(rule.size(), path.size());
    for (std::size_t index = 0; index < common; ++index) {
        if (!KeepList::matchesComponent(rule[index], path[index])) {
            return false;
        }
    }
    return true;
}

}  // namespace

support::Provider<KeepList> keepingNothing() {
    return [](const std::function<void(KeepList)>& answer) { answer({}); };
}

KeepList::KeepList(const std::vector<std::string>& rules) {
    for (const auto& rule : rules) {
        if (ruleError(rule)) {
            continue;
        }
        std::string kept = normalised(rule);
        if (std::ranges::find(rules_, kept) == rules_.end()) {
            rules_.push_back(std::move(kept));
        }
    }
}

std::optional<std::string> KeepList::ruleError(std::string_view rule) {
    if (rule.find('\0') != std::string_view::npos) {
        return "Der Pfad enthält ein Nullzeichen.";
    }
    if (!rule.starts_with('/')) {
        return "Der Pfad muss mit „/“ beginnen.";
    }
    const auto parts = components(rule);
    if (parts.empty()) {
        return "Das Wurzelverzeichnis kann nicht ausgenommen werden.";
    }
    if (std::ranges::any_of(parts,
                            [](std::string_view part) { return part == "." || part == ".."; })) {
        return "Der Pfad enthält einen Bestandteil „.“ oder „..“.";
    }
    return std::nullopt;
}

std::string KeepList::normalised(std::string_view rule) {
    std::string text;
    for (const std::string_view part : components(rule)) {
        text.push_back('/');
        text.append(part);
    }
    return text.empty() ? std::string("/") : text;
}

bool KeepList::keeps(std::string_view path) const {
    const auto pathParts = components(path);
    return std::ranges::any_of(rules_, [&](const std::string& rule) {
        const auto ruleParts = components(rule);
        return ruleParts.size() <= pathParts.size() && agree(ruleParts, pathParts);
    });
}

std::vector<std::vector<std::string>> KeepList::rulesBelow(std::string_view path) const {
    const auto pathParts = components(path);
    std::vector<std::vector<std::string>> below;
    for (const auto& rule : rules_) {
        const auto ruleParts = components(rule);
        if (ruleParts.size() > pathParts.size() && agree(ruleParts, pathParts)) {
            below.emplace_back(ruleParts.begin() + static_cast<std::ptrdiff_t>(pathParts.size()),
                               ruleParts.end());
        }
    }
    return below;
}

// "*" matches any run of characters, backtracking to the last star on a mismatch.
bool KeepList::matchesComponent(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::optional<std::size_t> star;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (star) {
            p = *star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace quillo
