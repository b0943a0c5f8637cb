#include "deletion/ReceiptPDF.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>
#include <numeric>
#include <string_view>

#include "model/LocalizableText.h"
#include "support/Formatting.h"
#include "text/Text.h"

namespace quillo {

namespace {

constexpr double kPageWidth = 595;
constexpr double kPageHeight = 842;
constexpr double kMargin = 36;
constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kElementSpacing = 14;
constexpr double kGrey = 0.45;

// Sizes in points, largest first as the styles rank.
struct TextStyle {
    double size = 0;
    bool bold = false;
    bool monospaced = false;
    double grey = 0;
};
constexpr TextStyle kTitle{22, true};
constexpr TextStyle kTitle3{17, false, true};
constexpr TextStyle kCallout{13, false, false, kGrey};
constexpr TextStyle kSubheadline{12, true};
constexpr TextStyle kFootnote{11, false, false, kGrey};
constexpr TextStyle kCaption{10, false, false, kGrey};
constexpr TextStyle kHash{10, false, true};

using Layout = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;

std::string ownKeyText(const char* german) {
    return text::text(LocalizableText::ownKey(german));
}

// Draws the texts from top to bottom; `measure` only advances without drawing.
class PageWriter {
  public:
    explicit PageWriter(cairo_t* cairo) : cairo_(cairo) {}

    double height(const std::string& text, const TextStyle& style) {
        return extent(makeLayout(text, style, false));
    }

    void write(const std::string& text, const TextStyle& style, double x, double y,
               bool ellipsizeMiddle = false) {
        const auto layout = makeLayout(text, style, ellipsizeMiddle);
        cairo_set_source_rgb(cairo_, style.grey, style.grey, style.grey);
        cairo_move_to(cairo_, x, y);
        pango_cairo_show_layout(cairo_, layout.get());
    }

    double width(const std::string& text, const TextStyle& style) {
        const auto layout = makeLayout(text, style, false);
        int width = 0;
        int height = 0;
        pango_layout_get_size(layout.get(), &width, &height);
        return static_cast<double>(width) / PANGO_SCALE;
    }

    void divider(double y) {
        cairo_set_source_rgb(cairo_, 0.8, 0.8, 0.8);
        cairo_set_line_width(cairo_, 0.5);
        cairo_move_to(cairo_, kMargin, y + 0.25);
        cairo_line_to(cairo_, kMargin + kContentWidth, y + 0.25);
        cairo_stroke(cairo_);
    }

  private:
    Layout makeLayout(const std::string& text, const TextStyle& style, bool ellipsizeMiddle) {
        Layout layout(pango_cairo_create_layout(cairo_), &g_object_unref);
        auto* font = pango_font_description_new();
        pango_font_description_set_family(font,
                                          style.monospaced ? "DejaVu Sans Mono" : "DejaVu Sans");
        pango_font_description_set_weight(font,
                                          style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_font_description_set_absolute_size(font, style.size * PANGO_SCALE);
        pango_layout_set_font_description(layout.get(), font);
        pango_font_description_free(font);
        pango_layout_set_width(layout.get(), static_cast<int>(kContentWidth * PANGO_SCALE));
        if (ellipsizeMiddle) {
            pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_MIDDLE);
        } else {
            pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        }
        pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
        return layout;
    }

    static double extent(const Layout& layout) {
        int width = 0;
        int height = 0;
        pango_layout_get_size(layout.get(), &width, &height);
        return static_cast<double>(height) / PANGO_SCALE;
    }

    cairo_t* cairo_;
};

void drawPage(cairo_t* cairo, const ReceiptPDFContent& content) {
    cairo_set_source_rgb(cairo, 1, 1, 1);
    cairo_paint(cairo);
    PageWriter page(cairo);
    double y = kMargin;

    const auto title = ownKeyText("Quillo — Löschbeleg");
    page.write(title, kTitle, kMargin, y);
    y += page.height(title, kTitle) + 4;
    const auto created =
        ownKeyText("Erstellt: ") + support::formatLongDateMediumTime(content.generatedAt);
    page.write(created, kCallout, kMargin, y);
    y += page.height(created, kCallout) + kElementSpacing;

    page.divider(y);
    y += 0.5 + kElementSpacing;

    const std::int64_t total = std::accumulate(
        content.receipts.begin(), content.receipts.end(), std::int64_t{0},
        [](std::int64_t sum, const DeletionReceipt& receipt) { return sum + receipt.sizeInBytes; });
    const std::string statistics[2][2] = {
        {"Belege", std::to_string(content.receipts.size())},
        {"Größe gesamt", support::formatByteCount(total)},
    };
    double x = kMargin;
    double rowHeight = 0;
    for (const auto& [label, value] : statistics) {
        page.write(label, kCaption, x, y);
        const double labelHeight = page.height(label, kCaption) + 2;
        page.write(value, kTitle3, x, y + labelHeight);
        rowHeight = std::max(rowHeight, labelHeight + page.height(value, kTitle3));
        x += std::max(page.width(label, kCaption), page.width(value, kTitle3)) + 32;
    }
    y += rowHeight + kElementSpacing;

    page.divider(y);
    y += 0.5 + kElementSpacing;

    const auto heading = ownKeyText("SHA-256-Hashes der gelöschten Objekte");
    page.write(heading, kSubheadline, kMargin, y);
    y += page.height(heading, kSubheadline) + 2;
    if (content.receipts.empty()) {
        const auto none = ownKeyText("(keine)");
        page.write(none, kCaption, kMargin, y);
        y += page.height(none, kCaption);
    }
    for (const auto& receipt : content.receipts) {
        // Lines below the page are cut off by the page itself; drawing stops there.
        if (y > kPageHeight) {
            break;
        }
        page.write(receipt.hash, kHash, kMargin, y, true);
        y += page.height(receipt.hash, kHash) + 2;
    }

    const auto footer =
        ownKeyText("Dieser Beleg enthält keine Dateipfade. Quillo sendet keine Daten an Server.");
    const double footerHeight = page.height(footer, kFootnote);
    const double footerTop = std::max(y + kElementSpacing, kPageHeight - kMargin - footerHeight);
    page.write(footer, kFootnote, kMargin, footerTop);
}

cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::optional<std::string> pdfData(const std::vector<DeletionReceipt>& receipts,
                                   TimePoint generatedAt) {
    const ReceiptPDFContent content{receipts, generatedAt};
    std::string bytes;
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(appendToString, &bytes, kPageWidth, kPageHeight);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    cairo_t* cairo = cairo_create(surface);
    drawPage(cairo, content);
    cairo_show_page(cairo);
    const bool drawn = cairo_status(cairo) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cairo);
    cairo_surface_finish(surface);
    const bool finished = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!drawn || !finished || bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace quillo
