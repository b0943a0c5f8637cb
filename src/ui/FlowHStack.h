#pragma once

#include <QLayout>
#include <QList>

namespace quillo::ui {

/// Lays its items out side by side, centred vertically, when they all fit into the offered
/// width, and otherwise as one column aligned to the leading edge; it never wraps into rows.
class FlowHStack final : public QLayout {
  public:
    explicit FlowHStack(int spacing, QWidget* parent = nullptr);
    FlowHStack(const FlowHStack&) = delete;
    FlowHStack& operator=(const FlowHStack&) = delete;
    ~FlowHStack() override;

    void addItem(QLayoutItem* item) override;
    [[nodiscard]] int count() const override;
    [[nodiscard]] QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    [[nodiscard]] Qt::Orientations expandingDirections() const override;
    [[nodiscard]] bool hasHeightForWidth() const override;
    [[nodiscard]] int heightForWidth(int width) const override;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

    /// Whether the items fit side by side into `width`, margins included.
    [[nodiscard]] bool fitsInOneRow(int width) const;

  private:
    [[nodiscard]] QSize rowSize() const;
    [[nodiscard]] QSize columnSize() const;
    [[nodiscard]] QSize withMargins(QSize size) const;

    QList<QLayoutItem*> items_;
};

}  // namespace quillo::ui
