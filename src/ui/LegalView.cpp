#include "ui/LegalView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Containers.h"
#include "ui/LegalPages.h"
#include "ui/QtText.h"

namespace quillo::ui {

namespace {

QString pickerTitle(LegalView::Section section) {
    switch (section) {
        case LegalView::Section::impressum:
            return catalogueText("legal.section.impressum");
        case LegalView::Section::privacy:
            return catalogueText("legal.section.privacy");
    }
    return {};
}

QWidget* makePage(LegalView::Section section, const OpenLocation& openLocation) {
    switch (section) {
        case LegalView::Section::impressum:
            return makeImpressumPage(openLocation);
        case LegalView::Section::privacy:
            return makePrivacyPage(openLocation);
    }
    return nullptr;
}

}  // namespace

std::string_view LegalView::identifier(Section section) {
    switch (section) {
        case Section::impressum:
            return "impressum";
        case Section::privacy:
            return "privacy";
    }
    return {};
}

LegalView::LegalView(const OpenLocation& openLocation, QWidget* parent)
    : QWidget(parent), picker_(new QButtonGroup(this)), pages_(new QStackedWidget) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 12, 0, 0);
    layout->setSpacing(12);

    auto* pickerRow = new QHBoxLayout;
    pickerRow->setSpacing(0);
    pickerRow->addStretch();
    for (const auto section : allSections) {
        const auto index = static_cast<int>(section);
        auto* button = new QPushButton(pickerTitle(section));
        button->setObjectName(qtString(identifier(section)));
        button->setCheckable(true);
        button->setAutoDefault(false);
        picker_->addButton(button, index);
        pickerRow->addWidget(button);

        auto* area = makeVerticalScrollArea(makePage(section, openLocation));
        area->setObjectName(qtString(identifier(section)));
        pages_->insertWidget(index, area);
    }
    pickerRow->addStretch();
    layout->addLayout(pickerRow);
    layout->addWidget(makeDivider());
    layout->addWidget(pages_, 1);

    connect(picker_, &QButtonGroup::idClicked, pages_, &QStackedWidget::setCurrentIndex);
    setSection(Section::impressum);
}

LegalView::Section LegalView::section() const {
    return allSections[static_cast<std::size_t>(pages_->currentIndex())];
}

void LegalView::setSection(Section section) {
    const auto index = static_cast<int>(section);
    picker_->button(index)->setChecked(true);
    pages_->setCurrentIndex(index);
}

}  // namespace quillo::ui
