#include "ui/FileSizeLabel.h"

#include "ui/QtText.h"
#include "ui/Style.h"

namespace quillo::ui {

FileSizeLabel::FileSizeLabel(std::int64_t bytes, QWidget* parent) : QLabel(parent) {
    setFont(tabularFont(TextStyle::body));
    setBytes(bytes);
}

void FileSizeLabel::setBytes(std::int64_t bytes) {
    setText(byteCountText(bytes));
}

}  // namespace quillo::ui
