#include <gtest/gtest.h>

#include "ui/InlineMarkup.h"

namespace quillo::ui {
namespace {

TEST(InlineMarkupTest, EscapesHtmlBeforeRenderingMarks) {
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("<b>a & \"b\"</b>")),
              QStringLiteral("&lt;b&gt;a &amp; &quot;b&quot;&lt;/b&gt;"));
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("**<i>**")), QStringLiteral("<b>&lt;i&gt;</b>"));
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("eins\nzwei")), QStringLiteral("eins<br>zwei"));
}

TEST(InlineMarkupTest, RendersBoldAndMonospacedPhrases) {
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("Quillo verarbeitet **keine Daten**.")),
              QStringLiteral("Quillo verarbeitet <b>keine Daten</b>."));
    const QString code = richTextFromMarkup(QStringLiteral("in `~/a<b>.json` abgelegt"));
    EXPECT_TRUE(code.startsWith(QStringLiteral("in <span style=\"font-family:'")))
        << code.toStdString();
    EXPECT_TRUE(code.endsWith(QStringLiteral("'\">~/a&lt;b&gt;.json</span> abgelegt")))
        << code.toStdString();
    const QString nested = richTextFromMarkup(QStringLiteral("**a `b` c**"));
    EXPECT_TRUE(nested.startsWith(QStringLiteral("<b>a <span"))) << nested.toStdString();
    EXPECT_TRUE(nested.endsWith(QStringLiteral(">b</span> c</b>"))) << nested.toStdString();
}

TEST(InlineMarkupTest, MarksWithoutPartnerOrContentStayAsWritten) {
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("a ** b")), QStringLiteral("a ** b"));
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("5 * 3 `x")), QStringLiteral("5 * 3 `x"));
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("****``")), QStringLiteral("****``"));
    EXPECT_EQ(richTextFromMarkup(QStringLiteral("**a** und **b")),
              QStringLiteral("<b>a</b> und **b"));
}

}  // namespace
}  // namespace quillo::ui
