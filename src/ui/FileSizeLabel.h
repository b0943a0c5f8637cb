#pragma once

#include <QLabel>
#include <cstdint>

namespace quillo::ui {

/// The file-size text of a byte count, with digits of equal width so that figures line up.
class FileSizeLabel final : public QLabel {
    Q_OBJECT

  public:
    explicit FileSizeLabel(std::int64_t bytes = 0, QWidget* parent = nullptr);

    void setBytes(std::int64_t bytes);
};

}  // namespace quillo::ui
