#pragma once

#include <functional>

namespace quillo::support {

/// Answers a question asynchronously, once, on an executor of its own choosing (settings-bound
/// providers answer on the main thread). It never fails.
template <class T>
using Provider = std::function<void(std::function<void(T)> answer)>;

}  // namespace quillo::support
