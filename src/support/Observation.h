#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo::support {

/// Tells observers which field of an object changed. Used on one thread only (the main thread
/// for view models and settings). Inside a batch, notifications wait until the outermost batch
/// ends, so an observer never sees an object halfway through an update.
class ChangeNotifier {
  public:
    using Observer = std::function<void(std::string_view field)>;

    /// Ends the observation when destroyed.
    class Subscription {
      public:
        Subscription() = default;
        explicit Subscription(std::weak_ptr<bool> active) : active_(std::move(active)) {}
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { cancel(); }

        void cancel();

      private:
        std::weak_ptr<bool> active_;
    };

    /// Holds notifications back while it lives.
    class Batch {
      public:
        explicit Batch(ChangeNotifier& notifier) : notifier_(&notifier) { ++notifier_->depth_; }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        ~Batch() { notifier_->endBatch(); }

      private:
        ChangeNotifier* notifier_;
    };

    ChangeNotifier() = default;
    ChangeNotifier(const ChangeNotifier&) = delete;
    ChangeNotifier& operator=(const ChangeNotifier&) = delete;

    [[nodiscard]] Subscription observe(Observer observer);

    /// Notifies every observer of `field` now, or once at the end of the running batch.
    void changed(std::string_view field);

  private:
    struct Entry {
        Observer observer;
        std::shared_ptr<bool> active;
    };

    void endBatch();
    void notify(std::string_view field);

    std::vector<Entry> entries_;
    std::vector<std::string> pending_;
    std::size_t depth_ = 0;
};

/// A field whose changes its owner's notifier reports under the field's name. Assigning a value
/// equal to the current one notifies nobody.
template <class T>
class ObservedField {
  public:
    ObservedField(ChangeNotifier& notifier, std::string name, T initial = T{})
        : notifier_(&notifier), name_(std::move(name)), value_(std::move(initial)) {}

    [[nodiscard]] const T& get() const { return value_; }
    [[nodiscard]] const std::string& name() const { return name_; }

    /// Returns whether the value changed.
    bool set(T value) {
        if (value == value_) {
            return false;
        }
        value_ = std::move(value);
        notifier_->changed(name_);
        return true;
    }

  private:
    ChangeNotifier* notifier_;
    std::string name_;
    T value_;
};

}  // namespace quillo::support
