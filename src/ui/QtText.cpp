#include "ui/QtText.h"

#include "support/Formatting.h"
#include "text/Text.h"

namespace quillo::ui {

QString qtString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string stdString(const QString& text) {
    return text.toStdString();
}

QString catalogueText(std::string_view key) {
    return qtString(text::text(key));
}

QString catalogueText(const LocalizableText& value) {
    return qtString(text::text(value));
}

QString catalogueFormat(std::string_view key, const std::vector<text::FormatArgument>& arguments) {
    return qtString(text::format(key, arguments));
}

QString catalogueCountFormat(std::string_view key, std::int64_t count,
                             const std::vector<text::FormatArgument>& arguments) {
    return qtString(text::countFormat(key, count, arguments));
}

QString byteCountText(std::int64_t bytes) {
    return qtString(support::formatByteCount(bytes));
}

}  // namespace quillo::ui
