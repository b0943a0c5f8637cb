#pragma once

#include <QTreeView>
#include <filesystem>
#include <functional>

#include "model/CleanableItem.h"
#include "system/AppSettings.h"

namespace quillo::ui {

class ItemListModel;

/// What the result list's context menu does with the item under the pointer.
struct ItemActions {
    /// "Nie mehr anbieten": the item's path joins the keep-list.
    std::function<void(const CleanableItem&)> keep;
    /// Shows the item in the file manager; the entry is left out without it.
    std::function<void(const std::filesystem::path&)> showInFileManager;
};

/// The result list's page: the sort menu above `list`, whose rows get a context menu with
/// `actions` for the item under the pointer.
QWidget* makeResultListPage(QTreeView* list, const ItemListModel& model, AppSettings& settings,
                            ItemActions actions);

}  // namespace quillo::ui
