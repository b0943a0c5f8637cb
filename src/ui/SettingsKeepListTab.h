#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "system/AppSettings.h"
#include "ui/Bindings.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace quillo::ui {

/// What the user adds to the keep-list: a folder or a file chosen in a file dialog, or a typed
/// pattern.
enum class KeptPathChoice { folder, file, pattern };

/// Asks the user for a path or pattern; nothing when cancelled.
using ChooseKeptPath =
    std::function<std::optional<std::string>(QWidget* parent, KeptPathChoice choice)>;

/// The desktop's file dialogs, and a text field for a pattern in which a leading "~/" stands
/// for the home folder.
ChooseKeptPath desktopKeptPathChooser();

/// The keep-list: every kept path and pattern, added through `choose` and removed again. A
/// rule the list cannot hold is refused with its reason below the list.
class SettingsKeepListTab final : public QWidget {
    Q_OBJECT

  public:
    SettingsKeepListTab(AppSettings& settings, ChooseKeptPath choose, QWidget* parent = nullptr);

  private:
    void add(KeptPathChoice choice);
    void showSettings();

    AppSettings& settings_;
    ChooseKeptPath choose_;
    QListWidget* list_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* refusal_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
