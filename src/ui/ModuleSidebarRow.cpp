#include "ui/ModuleSidebarRow.h"

#include <QGraphicsColorizeEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/RingProgressView.h"
#include "ui/Style.h"
#include "ui/Symbols.h"

namespace quillo::ui {

ModuleSidebarRow::ModuleSidebarRow(const CleaningModuleDescriptor& descriptor, QWidget* parent)
    : QWidget(parent), descriptor_(descriptor) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    symbol_ = makeSymbolLabel(descriptor.symbolName, 24);
    tint_ = new QGraphicsColorizeEffect(symbol_);
    symbol_->setGraphicsEffect(tint_);
    layout->addWidget(symbol_);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    name_ = makeLabel(catalogueText(descriptor.displayName), TextStyle::body);
    name_->setWordWrap(false);
    status_ = makeLabel({}, TextStyle::caption, false, colors::secondary());
    status_->setWordWrap(false);
    texts->addWidget(name_);
    texts->addWidget(status_);
    layout->addLayout(texts, 1);
    ring_ = new RingProgressView(3, colors::accent());
    ring_->setFixedSize(14, 14);
    layout->addWidget(ring_);
    lock_ = makeSymbolLabel("lock.shield", 14);
    layout->addWidget(lock_);
    setAccessibleName(name_->text());
}

void ModuleSidebarRow::show(std::int64_t bytes, bool isScanning,
                            std::optional<Unavailability> unavailability) {
    const bool isUnavailable = unavailability.has_value();
    if (unavailability == Unavailability::sandbox) {
        status_->setText(catalogueText("Nicht verfügbar (Sandbox)"));
        lock_->setToolTip(catalogueText(
            "Im App-Sandbox-Build nicht zugänglich. Verwende die Direct-Distribution-Variante."));
    } else if (unavailability == Unavailability::access) {
        status_->setText(catalogueText("scanEmpty.module.unavailable.fda"));
        lock_->setToolTip(status_->text());
    } else if (bytes < 1) {
        status_->setText(catalogueText(isScanning ? "Scannen…" : "Bereit"));
    } else {
        status_->setText(byteCountText(bytes));
    }
    status_->setFont(bytes >= 1 && !isUnavailable ? tabularFont(TextStyle::caption)
                                                  : ui::font(TextStyle::caption));
    const QColor tint = isUnavailable               ? colors::secondary()
                        : descriptor_.isDestructive ? colors::orange()
                                                    : colors::accent();
    tint_->setColor(tint);
    ring_->setVisible(isScanning);
    lock_->setVisible(isUnavailable);
    setAccessibleDescription(status_->text());
}

QString ModuleSidebarRow::statusText() const {
    return status_->text();
}

}  // namespace quillo::ui
