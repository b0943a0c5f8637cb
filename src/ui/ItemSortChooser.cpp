#include "ui/ItemSortChooser.h"

#include <array>
#include <string_view>

#include "ui/QtText.h"

namespace quillo::ui {

namespace {

struct SortChoice {
    ItemSortOrder order;
    std::string_view key;
};

constexpr std::array kChoices{
    SortChoice{{ItemSortKey::size, true}, "content.sort.sizeDescending"},
    SortChoice{{ItemSortKey::size, false}, "content.sort.sizeAscending"},
    SortChoice{{ItemSortKey::name, false}, "content.sort.nameAscending"},
    SortChoice{{ItemSortKey::name, true}, "content.sort.nameDescending"},
    SortChoice{{ItemSortKey::date, true}, "content.sort.dateDescending"},
    SortChoice{{ItemSortKey::date, false}, "content.sort.dateAscending"},
};

}  // namespace

ItemSortChooser::ItemSortChooser(AppSettings& settings, QWidget* parent)
    : QComboBox(parent), settings_(settings) {
    setObjectName(QStringLiteral("itemSortChooser"));
    setToolTip(catalogueText("content.sort.label"));
    for (const auto& choice : kChoices) {
        addItem(catalogueText(choice.key));
    }
    showChosen();
    connect(this, &QComboBox::activated, this, [this](int index) {
        settings_.setItemSortOrder(kChoices.at(static_cast<std::size_t>(index)).order);
    });
    bindings_.onChange(settings_, {"itemSortOrder"}, [this] { showChosen(); });
}

void ItemSortChooser::showChosen() {
    for (std::size_t index = 0; index < kChoices.size(); ++index) {
        if (kChoices[index].order == settings_.itemSortOrder()) {
            setCurrentIndex(static_cast<int>(index));
        }
    }
}

}  // namespace quillo::ui
