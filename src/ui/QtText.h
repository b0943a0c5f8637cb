#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "model/LocalizableText.h"
#include "text/Format.h"

namespace quillo::ui {

/// Our UTF-8 strings as Qt's.
QString qtString(std::string_view text);
std::string stdString(const QString& text);

/// The catalogue text of `key`.
QString catalogueText(std::string_view key);
QString catalogueText(const LocalizableText& text);
/// The catalogue format `key` filled with `arguments`.
QString catalogueFormat(std::string_view key, const std::vector<text::FormatArgument>& arguments);
/// `text::countFormat` as a QString.
QString catalogueCountFormat(std::string_view key, std::int64_t count,
                             const std::vector<text::FormatArgument>& arguments);

/// The file-size text of `bytes`.
QString byteCountText(std::int64_t bytes);

}  // namespace quillo::ui
