#include "ui/ResultListPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "ui/ItemListModel.h"
#include "ui/ItemSortChooser.h"
#include "ui/QtText.h"
#include "ui/Style.h"

namespace quillo::ui {

QWidget* makeResultListPage(QTreeView* list, const ItemListModel& model, AppSettings& settings,
                            ItemActions actions) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 6, 8, 0);
    bar->addStretch();
    bar->addWidget(makeLabel(catalogueText("content.sort.label"), TextStyle::caption, false,
                             colors::secondary()));
    bar->addWidget(new ItemSortChooser(settings));
    layout->addLayout(bar);
    layout->addWidget(list, 1);

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, list,
                     [list, &model, actions = std::move(actions)](const QPoint& position) {
                         const auto* found = model.itemAt(list->indexAt(position).row());
                         if (found == nullptr) {
                             return;
                         }
                         const CleanableItem item = *found;
                         auto* menu = new QMenu(list);
                         menu->setObjectName(QStringLiteral("itemContextMenu"));
                         menu->setAttribute(Qt::WA_DeleteOnClose);
                         auto* keep = menu->addAction(catalogueText("content.item.keep"),
                                                      [keep = actions.keep, item] { keep(item); });
                         keep->setObjectName(QStringLiteral("keepItemAction"));
                         keep->setEnabled(!KeepList::ruleError(item.url.native()));
                         if (actions.showInFileManager) {
                             menu->addAction(
                                 catalogueText("content.item.showInFileManager"),
                                 [show = actions.showInFileManager, url = item.url] { show(url); });
                         }
                         menu->popup(list->viewport()->mapToGlobal(position));
                     });
    return page;
}

}  // namespace quillo::ui
