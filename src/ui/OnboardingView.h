#pragma once

#include <QDialog>
#include <functional>

#include "ui/PlatformActions.h"

namespace quillo::ui {

/// The first-run sheet: what the application does and does not do, and the way to full disk
/// access. It closes only through its accept button, which calls `onAccept`.
class OnboardingView final : public QDialog {
    Q_OBJECT

  public:
    OnboardingView(std::function<void()> onAccept, OpenLocation openLocation,
                   QWidget* parent = nullptr);

    /// Escape and the window's close button leave the sheet open: the user has to accept.
    void reject() override;
};

}  // namespace quillo::ui
