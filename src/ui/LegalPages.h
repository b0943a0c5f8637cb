#pragma once

#include <QString>
#include <QWidget>
#include <string_view>

#include "ui/LocationButton.h"

namespace quillo::ui {

/// "mailto:" link to `address`, with `subject` percent-encoded when there is one.
QString mailLink(std::string_view address, const QString& subject = {});

/// The legal notice: operator, responsible person, contact and disclaimer.
QWidget* makeImpressumPage(const OpenLocation& openLocation);

/// The privacy statement with its date and its contact.
QWidget* makePrivacyPage(const OpenLocation& openLocation);

}  // namespace quillo::ui
