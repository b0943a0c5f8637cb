#include "ui/SheetPresenter.h"

namespace quillo::ui {

SheetPresenter::SheetPresenter(QWidget* window, std::function<QDialog*()> makeSheet,
                               std::function<void()> onDismiss)
    : window_(window), makeSheet_(std::move(makeSheet)), onDismiss_(std::move(onDismiss)) {}

SheetPresenter::~SheetPresenter() {
    setShown(false);
}

void SheetPresenter::setShown(bool shown) {
    if (shown == (sheet_ != nullptr)) {
        return;
    }
    if (!shown) {
        QPointer<QDialog> closing = sheet_;
        sheet_ = nullptr;
        closing->disconnect(window_);
        closing->hide();
        closing->deleteLater();
        return;
    }
    sheet_ = makeSheet_();
    sheet_->setParent(window_, Qt::Dialog);
    sheet_->setWindowModality(Qt::WindowModal);
    QObject::connect(sheet_, &QDialog::rejected, window_, [this] {
        if (onDismiss_) {
            onDismiss_();
        }
    });
    sheet_->show();
}

}  // namespace quillo::ui
