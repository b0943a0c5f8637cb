#pragma once

#include <QWidget>
#include <functional>

#include "system/AppSettings.h"
#include "ui/Bindings.h"
#include "ui/PlatformActions.h"
#include "viewmodels/ScanViewModel.h"

class QVBoxLayout;

namespace quillo::ui {

/// The start screen: the hero with the scan button, at most one banner about the sandbox or
/// full disk access, and the modules a scan covers.
class ScanEmptyState final : public QWidget {
    Q_OBJECT

  public:
    ScanEmptyState(ScanViewModel& scan, AppSettings& settings, std::function<bool()> isSandboxed,
                   std::function<void()> onScan, OpenLocation openLocation,
                   QWidget* parent = nullptr);

  private:
    void rebuild();
    QWidget* makeHero();
    QWidget* makeBanner();
    QWidget* makeModuleList();

    ScanViewModel& scan_;
    AppSettings& settings_;
    std::function<bool()> isSandboxed_;
    std::function<void()> onScan_;
    OpenLocation openLocation_;
    QWidget* content_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    // The hero's switch is made anew with every rebuild; its binding goes with it.
    Bindings heroBindings_;
    Bindings bindings_;
};

}  // namespace quillo::ui
