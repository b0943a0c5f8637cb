#pragma once

#include <QObject>
#include <QPointer>

#include "support/Executor.h"

namespace quillo::ui {

/// Runs posted work on the thread of `context` through Qt's event loop; safe to post from any
/// thread. Work posted after `context` is gone is dropped.
class QtMainExecutor final : public support::MainExecutor {
  public:
    explicit QtMainExecutor(QObject* context) : context_(context) {}

    void post(std::function<void()> work) override;

  private:
    QPointer<QObject> context_;
};

}  // namespace quillo::ui
