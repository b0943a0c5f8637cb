#pragma once

#include <string>

// The phase cases that several view models have in common.
namespace quillo::phase {

struct Failed {
    std::string message;
    friend bool operator==(const Failed&, const Failed&) = default;
};
struct Idle {
    friend bool operator==(Idle, Idle) = default;
};
struct Scanning {
    friend bool operator==(Scanning, Scanning) = default;
};

}  // namespace quillo::phase
