#include "ui/RetentionStepper.h"

#include <QRegularExpression>

#include "ui/QtText.h"

namespace quillo::ui {

namespace {

constexpr int kMaxRetentionDays = 365;

// The number wherever it stands, since a translation may put it anywhere in the text.
QString numberIn(const QString& text) {
    static const QRegularExpression number(QStringLiteral("\\d+"));
    return number.match(text).captured();
}

}  // namespace

RetentionStepper::RetentionStepper(QWidget* parent) : QSpinBox(parent) {
    setRange(0, kMaxRetentionDays);
    setSingleStep(1);
    setAccelerated(true);
}

QString RetentionStepper::textFromValue(int days) const {
    return catalogueCountFormat("settings.retention.days.format", days, {std::int64_t{days}});
}

int RetentionStepper::valueFromText(const QString& text) const {
    return numberIn(text).toInt();
}

QValidator::State RetentionStepper::validate(QString& text, int&) const {
    const QString digits = numberIn(text);
    if (digits.isEmpty()) {
        return QValidator::Intermediate;
    }
    bool isNumber = false;
    const int days = digits.toInt(&isNumber);
    return isNumber && days >= minimum() && days <= maximum() ? QValidator::Acceptable
                                                              : QValidator::Intermediate;
}

}  // namespace quillo::ui
