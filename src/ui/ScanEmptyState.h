#pragma once

#include <QWidget>
#include <functional>

#include "modules/RootAccess.h"
#include "system/AppSettings.h"
#include "ui/Bindings.h"
#include "ui/PlatformActions.h"
#include "viewmodels/ScanViewModel.h"

class QVBoxLayout;

namespace quillo::ui {

/// The start screen: the hero with the scan button, at most one banner about the sandbox, full
/// disk access or the system folders left out, and the modules a scan covers.
class ScanEmptyState final : public QWidget {
    Q_OBJECT

  public:
    /// `leftOutRoots` are the root folders a scan of this process does not walk.
    ScanEmptyState(ScanViewModel& scan, AppSettings& settings, std::function<bool()> isSandboxed,
                   std::vector<LeftOutRoot> leftOutRoots, std::function<void()> onScan,
                   OpenLocation openLocation, QWidget* parent = nullptr);

  private:
    void rebuild();
    QWidget* makeHero();
    QWidget* makeBanner();
    QWidget* makeModuleList();

    ScanViewModel& scan_;
    AppSettings& settings_;
    std::function<bool()> isSandboxed_;
    std::vector<LeftOutRoot> leftOutRoots_;
    std::function<void()> onScan_;
    OpenLocation openLocation_;
    QWidget* content_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    // The hero's switch is made anew with every rebuild; its binding goes with it.
    Bindings heroBindings_;
    Bindings bindings_;
};

}  // namespace quillo::ui
