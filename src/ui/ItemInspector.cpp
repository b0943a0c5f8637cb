#include "ui/ItemInspector.h"

#include <QDateTime>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <chrono>

#include "ui/FileSizeLabel.h"
#include "ui/QtText.h"
#include "ui/Style.h"

namespace quillo::ui {

QString dateText(TimePoint time) {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const auto local = QDateTime::fromMSecsSinceEpoch(milliseconds).date();
    return QLocale(QLocale::German, QLocale::Germany)
        .toString(local, QStringLiteral("d. MMMM yyyy"));
}

ItemInspector::ItemInspector(const CleanableItem& item,
                             std::function<void(const std::filesystem::path&)> showInFileManager,
                             QWidget* parent)
    : QScrollArea(parent) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    layout->addWidget(makeLabel(qtString(item.displayName), TextStyle::headline, true));

    auto* rows = new QFormLayout;
    rows->setLabelAlignment(Qt::AlignLeft);
    rows->addRow(makeLabel(catalogueText("content.inspector.size"), TextStyle::body, false,
                           colors::secondary()),
                 new FileSizeLabel(item.sizeInBytes));
    rows->addRow(makeLabel(catalogueText("content.inspector.modified"), TextStyle::body, false,
                           colors::secondary()),
                 makeLabel(dateText(item.lastModified), TextStyle::body));
    auto* path = new QLabel(qtString(item.url.string()));
    path->setFont(monospacedFont(TextStyle::caption));
    path->setWordWrap(true);
    makeSelectable(path);
    rows->addRow(makeLabel(catalogueText("content.inspector.path"), TextStyle::body, false,
                           colors::secondary()),
                 path);
    layout->addLayout(rows);
    if (showInFileManager) {
        auto* reveal = new QPushButton(catalogueText("content.item.showInFileManager"));
        reveal->setObjectName(QStringLiteral("showInFileManagerButton"));
        connect(reveal, &QPushButton::clicked, this,
                [show = std::move(showInFileManager), url = item.url] { show(url); });
        auto* row = new QHBoxLayout;
        row->addWidget(reveal);
        row->addStretch();
        layout->addLayout(row);
    }

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    if (!item.warnings.empty()) {
        layout->addWidget(
            makeLabel(catalogueText("content.inspector.notes"), TextStyle::subheadline, true));
        for (const auto warning : item.warnings) {
            auto* line = new QHBoxLayout;
            line->addWidget(makeSymbolLabel(symbolName(warning), 14));
            line->addWidget(makeLabel(catalogueText(label(warning)), TextStyle::caption), 1);
            layout->addLayout(line);
        }
    }
    layout->addStretch();
    setWidget(content);
}

}  // namespace quillo::ui
