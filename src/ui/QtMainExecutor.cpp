#include "ui/QtMainExecutor.h"

#include <QMetaObject>
#include <utility>

namespace quillo::ui {

void QtMainExecutor::post(std::function<void()> work) {
    QMetaObject::invokeMethod(context_.data(), std::move(work), Qt::QueuedConnection);
}

}  // namespace quillo::ui
