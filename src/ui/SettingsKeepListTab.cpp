#include "ui/SettingsKeepListTab.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/StandardDirectories.h"
#include "ui/QtText.h"
#include "ui/SettingsForm.h"
#include "ui/Style.h"
#include "ui/Symbols.h"

namespace quillo::ui {

ChooseKeptPath desktopKeptPathChooser() {
    return [](QWidget* parent, KeptPathChoice choice) -> std::optional<std::string> {
        const QString home = qtString(platform::homeFolder().string());
        QString chosen;
        switch (choice) {
            case KeptPathChoice::folder:
                chosen = QFileDialog::getExistingDirectory(
                    parent, catalogueText("settings.kept.addFolder"), home);
                break;
            case KeptPathChoice::file:
                chosen = QFileDialog::getOpenFileName(
                    parent, catalogueText("settings.kept.addFile"), home, {}, nullptr,
                    QFileDialog::DontResolveSymlinks);
                break;
            case KeptPathChoice::pattern: {
                bool accepted = false;
                chosen =
                    QInputDialog::getText(parent, catalogueText("settings.kept.addPattern"),
                                          catalogueText("settings.kept.pattern.prompt"),
                                          QLineEdit::Normal, home + QStringLiteral("/"), &accepted);
                if (!accepted) {
                    return std::nullopt;
                }
                if (chosen.startsWith(QStringLiteral("~/"))) {
                    chosen = home + chosen.mid(1);
                }
                break;
            }
        }
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        return stdString(chosen);
    };
}

SettingsKeepListTab::SettingsKeepListTab(AppSettings& settings, ChooseKeptPath choose,
                                         QWidget* parent)
    : QWidget(parent), settings_(settings), choose_(std::move(choose)) {
    auto* column = makeFormColumn(this);
    auto* section = addFormSection(column, "settings.section.kept");
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("keptPathsList"));
    list_->setMinimumHeight(160);
    list_->setFont(monospacedFont(TextStyle::caption));
    section->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](std::string_view key, const char* name, auto action) {
        auto* button = new QPushButton(catalogueText(key));
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
        return button;
    };
    addButton("settings.kept.addFolder", "addKeptFolderButton",
              [this] { add(KeptPathChoice::folder); });
    addButton("settings.kept.addFile", "addKeptFileButton", [this] { add(KeptPathChoice::file); });
    addButton("settings.kept.addPattern", "addKeptPatternButton",
              [this] { add(KeptPathChoice::pattern); });
    buttons->addStretch();
    remove_ = addButton("settings.kept.remove", "removeKeptPathButton", [this] {
        if (const auto* current = list_->currentItem()) {
            settings_.removeKeptPath(stdString(current->text()));
        }
    });
    section->addLayout(buttons);

    refusal_ = makeLabel({}, TextStyle::caption, false, colors::orange());
    refusal_->setObjectName(QStringLiteral("keptPathRefusal"));
    refusal_->setWordWrap(true);
    refusal_->hide();
    section->addWidget(refusal_);
    section->addWidget(makeHint("settings.kept.hint"));

    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { remove_->setEnabled(row >= 0); });
    showSettings();
    bindings_.onChange(settings_, {"keptPaths"}, [this] { showSettings(); });
}

void SettingsKeepListTab::add(KeptPathChoice choice) {
    const auto chosen = choose_(this, choice);
    if (!chosen) {
        return;
    }
    const auto added = settings_.addKeptPath(*chosen);
    refusal_->setVisible(!added);
    if (!added) {
        refusal_->setText(catalogueFormat("settings.kept.refused.format",
                                          {*chosen, added.error().description()}));
    }
}

void SettingsKeepListTab::showSettings() {
    list_->clear();
    for (const auto& rule : settings_.keptPaths().rules()) {
        list_->addItem(qtString(rule));
    }
    remove_->setEnabled(list_->currentRow() >= 0);
}

}  // namespace quillo::ui
