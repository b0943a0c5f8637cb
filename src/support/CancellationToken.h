#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace quillo::support {

namespace detail {
class CancellationState;
}

/// Removes a cancellation handler when destroyed. A handler that is already running may finish
/// after the registration is gone, so handlers hold their own (shared or weak) state.
class CancellationRegistration final {
  public:
    CancellationRegistration() = default;
    CancellationRegistration(std::weak_ptr<detail::CancellationState> state, std::uint64_t id);
    CancellationRegistration(CancellationRegistration&& other) noexcept;
    CancellationRegistration& operator=(CancellationRegistration&& other) noexcept;
    CancellationRegistration(const CancellationRegistration&) = delete;
    CancellationRegistration& operator=(const CancellationRegistration&) = delete;
    ~CancellationRegistration();

  private:
    void reset();
    std::weak_ptr<detail::CancellationState> state_;
    std::uint64_t id_ = 0;
};

/// The observing side of cooperative cancellation. A default token is never cancelled.
class CancellationToken final {
  public:
    CancellationToken() = default;

    [[nodiscard]] bool isCancelled() const;

    /// Calls `handler` once when cancellation is requested, at once if it already was.
    [[nodiscard]] CancellationRegistration onCancel(std::function<void()> handler) const;

  private:
    friend class CancellationSource;
    explicit CancellationToken(std::shared_ptr<detail::CancellationState> state)
        : state_(std::move(state)) {}
    std::shared_ptr<detail::CancellationState> state_;
};

/// The requesting side. A source made from a parent token is cancelled with its parent, so
/// cancelling a task reaches all the child work it started.
class CancellationSource final {
  public:
    CancellationSource();
    explicit CancellationSource(const CancellationToken& parent);

    [[nodiscard]] CancellationToken token() const { return CancellationToken(state_); }
    [[nodiscard]] bool isCancelled() const;
    void cancel() const;

  private:
    std::shared_ptr<detail::CancellationState> state_;
};

}  // namespace quillo::support
