#pragma once

#include <QButtonGroup>
#include <QStackedWidget>
#include <QWidget>
#include <array>
#include <string_view>

#include "ui/LocationButton.h"

namespace quillo::ui {

/// The operator's legal notice and the privacy statement, one at a time, chosen with a
/// segmented picker. Mail links open with `openLocation`.
class LegalView final : public QWidget {
    Q_OBJECT

  public:
    enum class Section { impressum, privacy };
    static constexpr std::array allSections{Section::impressum, Section::privacy};

    /// "impressum", "privacy".
    static std::string_view identifier(Section section);

    explicit LegalView(const OpenLocation& openLocation, QWidget* parent = nullptr);

    [[nodiscard]] Section section() const;
    void setSection(Section section);

  private:
    QButtonGroup* picker_ = nullptr;
    QStackedWidget* pages_ = nullptr;
};

}  // namespace quillo::ui
