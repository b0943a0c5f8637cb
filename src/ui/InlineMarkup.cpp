#include "ui/InlineMarkup.h"

#include "ui/Style.h"

namespace quillo::ui {

namespace {

const QString kBold = QStringLiteral("**");
const QChar kMonospaced = QLatin1Char('`');

QString escaped(const QString& plain) {
    return plain.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString monospacedSpan(const QString& code) {
    return QStringLiteral("<span style=\"font-family:'%1'\">%2</span>")
        .arg(monospacedFont(TextStyle::body).family().toHtmlEscaped(), escaped(code));
}

}  // namespace

QString richTextFromMarkup(const QString& text) {
    QString html;
    QString plain;
    const auto flushPlain = [&] {
        html += escaped(plain);
        plain.clear();
    };
    qsizetype index = 0;
    while (index < text.size()) {
        if (text.mid(index, kBold.size()) == kBold) {
            const qsizetype start = index + kBold.size();
            const qsizetype close = text.indexOf(kBold, start);
            if (close > start) {
                flushPlain();
                // Bold may hold monospaced phrases, never the other way round.
                html += QStringLiteral("<b>") + richTextFromMarkup(text.mid(start, close - start)) +
                        QStringLiteral("</b>");
                index = close + kBold.size();
                continue;
            }
        } else if (text.at(index) == kMonospaced) {
            const qsizetype start = index + 1;
            const qsizetype close = text.indexOf(kMonospaced, start);
            if (close > start) {
                flushPlain();
                html += monospacedSpan(text.mid(start, close - start));
                index = close + 1;
                continue;
            }
        }
        plain += text.at(index);
        ++index;
    }
    flushPlain();
    return html;
}

}  // namespace quillo::ui
