#pragma once

#include <QDialog>
#include <optional>
#include <utility>
#include <vector>

#include "ui/Bindings.h"
#include "ui/PlatformActions.h"
#include "viewmodels/PrivacyAuditViewModel.h"

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace quillo::ui {

/// The privacy audit: which installed applications declare which protected resources, with a
/// chip per declared permission to filter by, a search field, and links into the settings.
class PrivacyAuditSheet final : public QDialog {
    Q_OBJECT

  public:
    PrivacyAuditSheet(PrivacyAuditViewModel& audit, OpenLocation openLocation,
                      QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void rebuild();
    QWidget* makeReady();
    void refreshFilter();
    QWidget* makeChips();
    void refreshApps();
    QWidget* makeAppEntry(const InstalledApp& app);

    PrivacyAuditViewModel& audit_;
    OpenLocation openLocation_;
    QVBoxLayout* body_ = nullptr;
    QWidget* page_ = nullptr;
    /// The chip of each permission shown, "all" first (no permission).
    std::vector<std::pair<std::optional<PrivacyPermission>, QToolButton*>> chips_;
    QVBoxLayout* apps_ = nullptr;
    QLabel* footer_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
