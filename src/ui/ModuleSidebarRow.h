#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

#include "model/CleaningModuleDescriptor.h"

class QGraphicsColorizeEffect;
class QLabel;

namespace quillo::ui {

class RingProgressView;

/// One module in the sidebar: symbol, name, status (size found, scanning, ready or
/// unavailable) and, at the end, the scanning ring or the lock of an unavailable module.
class ModuleSidebarRow final : public QWidget {
    Q_OBJECT

  public:
    explicit ModuleSidebarRow(const CleaningModuleDescriptor& descriptor,
                              QWidget* parent = nullptr);

    /// Why a module is dimmed: the sandbox, or access the module needs and lacks.
    enum class Unavailability { sandbox, access };

    void show(std::int64_t bytes, bool isScanning, std::optional<Unavailability> unavailability);
    [[nodiscard]] QString statusText() const;

  private:
    CleaningModuleDescriptor descriptor_;
    QLabel* symbol_ = nullptr;
    QGraphicsColorizeEffect* tint_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* status_ = nullptr;
    RingProgressView* ring_ = nullptr;
    QLabel* lock_ = nullptr;
};

}  // namespace quillo::ui
