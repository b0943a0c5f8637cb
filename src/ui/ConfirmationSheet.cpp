#include "ui/ConfirmationSheet.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/Symbols.h"

namespace quillo::ui {

ConfirmationSheet::ConfirmationSheet(DeleteViewModel& deletion, std::function<void()> onConfirm,
                                     QWidget* parent)
    : QDialog(parent), deletion_(deletion) {
    setObjectName(QStringLiteral("confirmationSheet"));
    setMinimumWidth(460);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);

    auto* header = new QHBoxLayout;
    header->addWidget(makeSymbolLabel("trash", 24));
    header->addWidget(makeLabel(catalogueText("delete.confirm.title"), TextStyle::title3, true), 1);
    layout->addLayout(header);
    const auto& pending = deletion_.pendingItems();
    layout->addWidget(
        makeLabel(catalogueCountFormat("delete.confirm.count.format",
                                       static_cast<std::int64_t>(pending.size()),
                                       {static_cast<std::int64_t>(pending.size()),
                                        stdString(byteCountText(deletion_.pendingSizeInBytes()))}),
                  TextStyle::body, false, colors::secondary()));

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    layout->addWidget(divider);
    auto* breakdown = new QGridLayout;
    int row = 0;
    for (const auto& share : deletion_.pendingShares()) {
        breakdown->addWidget(makeLabel(catalogueText(displayName(share.moduleID)), TextStyle::body),
                             row, 0);
        auto* figures = makeLabel(catalogueFormat("delete.confirm.breakdown.format",
                                                  {static_cast<std::int64_t>(share.itemCount),
                                                   stdString(byteCountText(share.sizeInBytes))}),
                                  TextStyle::body, false, colors::secondary());
        figures->setAlignment(Qt::AlignRight);
        breakdown->addWidget(figures, row, 1);
        ++row;
    }
    layout->addLayout(breakdown);

    if (deletion_.requiresTypedConfirmation()) {
        auto* warning = new QHBoxLayout;
        warning->addWidget(makeSymbolLabel("exclamationmark.triangle.fill", 16));
        warning->addWidget(makeLabel(catalogueText("delete.confirm.irreversible.title"),
                                     TextStyle::callout, true, colors::orange()),
                           1);
        layout->addLayout(warning);
        layout->addWidget(makeLabel(catalogueFormat("delete.confirm.typed.hint.format",
                                                    {DeleteViewModel::confirmationPhrase()}),
                                    TextStyle::caption, false, colors::secondary()));
        phrase_ = new QLineEdit;
        phrase_->setObjectName(QStringLiteral("typedPhrase"));
        phrase_->setInputMethodHints(Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
        phrase_->setText(qtString(deletion_.typedConfirmation()));
        connect(phrase_, &QLineEdit::textEdited, this,
                [this](const QString& typed) { deletion_.setTypedConfirmation(stdString(typed)); });
        layout->addWidget(phrase_);
    }

    auto* buttons = new QDialogButtonBox;
    auto* cancel = buttons->addButton(catalogueText("delete.confirm.button.cancel"),
                                      QDialogButtonBox::RejectRole);
    cancel->setAutoDefault(false);
    deleteButton_ = buttons->addButton(catalogueText("delete.confirm.button.delete"),
                                       QDialogButtonBox::DestructiveRole);
    deleteButton_->setObjectName(QStringLiteral("deleteButton"));
    deleteButton_->setIcon(symbolIcon("trash"));
    deleteButton_->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(deleteButton_, &QPushButton::clicked, this,
            [onConfirm = std::move(onConfirm)] { onConfirm(); });
    layout->addWidget(buttons);

    refresh();
    bindings_.onChange(deletion_, {"typedConfirmation", "pendingItems"}, [this] { refresh(); });
}

void ConfirmationSheet::refresh() {
    deleteButton_->setEnabled(deletion_.canConfirm());
    if (phrase_ != nullptr && stdString(phrase_->text()) != deletion_.typedConfirmation()) {
        phrase_->setText(qtString(deletion_.typedConfirmation()));
    }
}

}  // namespace quillo::ui
