#pragma once

#include <QWidget>
#include <string_view>

namespace quillo::ui {

/// The empty-content notice: a large symbol, a title and an explaining text, centred.
class Notice final : public QWidget {
    Q_OBJECT

  public:
    Notice(std::string_view symbolName, const QString& title, const QString& text,
           QWidget* parent = nullptr);
};

}  // namespace quillo::ui
