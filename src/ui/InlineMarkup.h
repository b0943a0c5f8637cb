#pragma once

#include <QString>

namespace quillo::ui {

/// Qt rich text for a catalogue text with inline marks: **bold** and `monospaced`. Everything
/// else is HTML-escaped and line breaks are kept; a mark without its closing partner, or around
/// nothing, stays as written.
QString richTextFromMarkup(const QString& text);

}  // namespace quillo::ui
