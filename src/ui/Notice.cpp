#include "ui/Notice.h"

#include <QVBoxLayout>

#include "ui/Style.h"

namespace quillo::ui {

Notice::Notice(std::string_view symbolName, const QString& title, const QString& text,
               QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    auto* symbol = makeSymbolLabel(symbolName, 48);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    auto* titleLabel = makeLabel(title, TextStyle::title3, true);
    titleLabel->setAlignment(Qt::AlignHCenter);
    layout->addWidget(titleLabel);
    auto* textLabel = makeLabel(text, TextStyle::callout, false, colors::secondary());
    textLabel->setAlignment(Qt::AlignHCenter);
    layout->addWidget(textLabel);
    layout->addStretch();
}

}  // namespace quillo::ui
