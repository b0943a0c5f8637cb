#include "ui/ProgressSheet.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/Style.h"

namespace quillo::ui {

double progressFraction(std::size_t completed, std::size_t total) {
    return total < 1 ? 0.0 : static_cast<double>(completed) / static_cast<double>(total);
}

ProgressSheet::ProgressSheet(std::function<void()> onStop, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("progressSheet"));
    setMinimumSize(480, 180);
    resize(520, 180);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    auto* header = new QHBoxLayout;
    header->addWidget(makeSymbolLabel("trash.circle.fill", 28));
    header->addWidget(makeLabel(catalogueText("delete.progress.title"), TextStyle::title2, true),
                      1);
    layout->addLayout(header);
    current_ = new QLabel;
    current_->setFont(monospacedFont(TextStyle::caption));
    layout->addWidget(current_);
    bar_ = new QProgressBar;
    bar_->setRange(0, 1000);
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    count_ = makeLabel({}, TextStyle::callout, false, colors::secondary());
    count_->setFont(tabularFont(TextStyle::callout));
    auto* footer = new QHBoxLayout;
    footer->addWidget(count_, 1);
    stop_ = new QPushButton(catalogueText("delete.progress.stop"));
    stop_->setObjectName(QStringLiteral("stopDeletionButton"));
    stop_->setAutoDefault(false);
    connect(stop_, &QPushButton::clicked, this, std::move(onStop));
    footer->addWidget(stop_);
    layout->addLayout(footer);
}

void ProgressSheet::show(const DeleteViewModel::Deleting& progress) {
    current_->setText(progress.currentDisplayName ? qtString(*progress.currentDisplayName)
                                                  : QString());
    current_->setVisible(progress.currentDisplayName.has_value());
    // Until the first item is done the bar moves as busy, so a long first item does not look
    // like a stalled run.
    const bool started = progress.completed > 0 || progress.total == 0;
    bar_->setRange(0, started ? 1000 : 0);
    bar_->setValue(static_cast<int>(progressFraction(progress.completed, progress.total) * 1000));
    stop_->setEnabled(!progress.stopping);
    stop_->setText(
        catalogueText(progress.stopping ? "delete.progress.stopping" : "delete.progress.stop"));
    count_->setText(catalogueFormat("delete.progress.count.format",
                                    {static_cast<std::int64_t>(progress.completed),
                                     static_cast<std::int64_t>(progress.total)}));
}

void ProgressSheet::keyPressEvent(QKeyEvent* event) {
    // Escape does not end a run by accident; the button stops it.
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
    }
}

}  // namespace quillo::ui
