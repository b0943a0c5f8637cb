#include "support/CancellationToken.h"

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

namespace quillo::support {

namespace detail {

class CancellationState final : public std::enable_shared_from_this<CancellationState> {
  public:
    [[nodiscard]] bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }

    CancellationRegistration add(std::function<void()> handler) {
        {
            std::lock_guard lock(mutex_);
            if (!cancelled_.load(std::memory_order_relaxed)) {
                const auto id = nextID_++;
                handlers_.emplace(id, std::move(handler));
                return {weak_from_this(), id};
            }
        }
        handler();
        return {};
    }

    void remove(std::uint64_t id) {
        std::lock_guard lock(mutex_);
        handlers_.erase(id);
    }

    void cancel() {
        std::map<std::uint64_t, std::function<void()>> handlers;
        {
            std::lock_guard lock(mutex_);
            if (cancelled_.exchange(true, std::memory_order_acq_rel)) {
                return;
            }
            handlers.swap(handlers_);
        }
        for (auto& entry : handlers) {
            entry.second();
        }
    }

    // Keeps this state linked to its parent for as long as it lives.
    CancellationRegistration parentLink;

  private:
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::uint64_t nextID_ = 1;
    std::map<std::uint64_t, std::function<void()>> handlers_;
};

}  // namespace detail

CancellationRegistration::CancellationRegistration(std::weak_ptr<detail::CancellationState> state,
                                                   std::uint64_t id)
    : state_(std::move(state)), id_(id) {}

CancellationRegistration::CancellationRegistration(CancellationRegistration&& other) noexcept
    : state_(std::move(other.state_)), id_(other.id_) {
    other.id_ = 0;
}

CancellationRegistration& CancellationRegistration::operator=(
    CancellationRegistration&& other) noexcept {
    if (this != &other) {
        reset();
        state_ = std::move(other.state_);
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

CancellationRegistration::~CancellationRegistration() {
    reset();
}

void CancellationRegistration::reset() {
    if (auto state = state_.lock(); state && id_ != 0) {
        state->remove(id_);
    }
    state_.reset();
    id_ = 0;
}

bool CancellationToken::isCancelled() const {
    return state_ && state_->isCancelled();
}

CancellationRegistration CancellationToken::onCancel(std::function<void()> handler) const {
    if (!state_) {
        return {};
    }
    return state_->add(std::move(handler));
}

CancellationSource::CancellationSource() : state_(std::make_shared<detail::CancellationState>()) {}

CancellationSource::CancellationSource(const CancellationToken& parent) : CancellationSource() {
    std::weak_ptr<detail::CancellationState> child = state_;
    state_->parentLink = parent.onCancel([child] {
        if (auto state = child.lock()) {
            state->cancel();
        }
    });
}

bool CancellationSource::isCancelled() const {
    return state_->isCancelled();
}

void CancellationSource::cancel() const {
    state_->cancel();
}

}  // namespace quillo::support
