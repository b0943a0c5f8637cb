#include <gtest/gtest.h>

#include <QWidget>
#include <vector>

#include "ui/FlowHStack.h"

namespace quillo::ui {
namespace {

class FlowHStackTest : public ::testing::Test {
  protected:
    FlowHStackTest() {
        for (const int height : {20, 30, 20}) {
            auto* child = new QWidget(&container);
            child->setFixedSize(50, height);
            stack->addWidget(child);
            children.push_back(child);
        }
    }

    [[nodiscard]] std::vector<QPoint> positions() const {
        std::vector<QPoint> found;
        for (const auto* child : children) {
            found.push_back(child->pos());
        }
        return found;
    }

    QWidget container;
    FlowHStack* stack = new FlowHStack(6, &container);
    std::vector<QWidget*> children;
};

TEST_F(FlowHStackTest, ChildrenThatFitStandInOneRowCentredVertically) {
    stack->setGeometry(QRect(0, 0, 162, 40));
    EXPECT_EQ(positions(), (std::vector<QPoint>{{0, 5}, {56, 0}, {112, 5}}));
    EXPECT_EQ(stack->heightForWidth(162), 30);
}

TEST_F(FlowHStackTest, ChildrenThatDoNotFitStandInOneColumnNeverInSeveralRows) {
    stack->setGeometry(QRect(0, 0, 161, 100));
    EXPECT_EQ(positions(), (std::vector<QPoint>{{0, 0}, {0, 26}, {0, 62}}));
    EXPECT_EQ(stack->heightForWidth(161), 82);
    EXPECT_EQ(stack->minimumSize(), QSize(50, 82));
}

}  // namespace
}  // namespace quillo::ui
