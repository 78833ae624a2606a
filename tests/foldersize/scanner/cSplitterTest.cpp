// cSplitterTest.cpp: clamping, proportion, visibility and the drag protocol of the splitter.
#include "foldersize/ui/scanner/cSplitter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWidget>

using namespace foldersize;

namespace {

class cSplitterTest : public ::testing::Test {
protected:
    cSplitterTest()
    {
        container.resize(300, 200);
        left = new QWidget(&container);
        right = new QWidget(&container);
        splitter.setSplitterSize(5);
        splitter.setOrientation(cSplitter::kVerticalBar);
        splitter.setContainer(&container);
        splitter.Bind(left, right);
        container.show();
    }

    // Drags the bar from its current position by dx pixels (global coordinates are arbitrary).
    void drag(int dx, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPoint start(500 + splitter.Position(), 400);
        splitter.MouseDown(button, QPoint(splitter.Position() + 2, 10), start);
        splitter.MouseMove(start + QPoint(dx / 2, 0));
        splitter.MouseUp(start + QPoint(dx, 0));
    }

    QWidget container;
    QWidget* left;
    QWidget* right;
    cSplitter splitter;
};

TEST_F(cSplitterTest, LaysOutBothPanesBesideTheBar)
{
    splitter.setPosition(100);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 100, 200));
    EXPECT_EQ(right->geometry(), QRect(105, 0, 195, 200));
}

TEST_F(cSplitterTest, StacksThePanesWithAHorizontalBar)
{
    splitter.setOrientation(cSplitter::kHorizontalBar);
    splitter.setPosition(50);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 300, 50));
    EXPECT_EQ(right->geometry(), QRect(0, 55, 300, 145));
}

TEST_F(cSplitterTest, DraggingStopsAtTheMinimumOfEitherPane)
{
    drag(295 - splitter.Position());
    EXPECT_EQ(splitter.Position(), 287);
    drag(2 - splitter.Position());
    EXPECT_EQ(splitter.Position(), 8);
    EXPECT_EQ(left->width(), 8);
}

TEST_F(cSplitterTest, PaneOneMinimumWinsOverItsMaximum)
{
    splitter.setMaximumSize(1, 200);
    splitter.setMinimumSize(1, 250);
    splitter.setPosition(230);
    EXPECT_EQ(splitter.Position(), 250);
}

TEST_F(cSplitterTest, MaximumOfPaneTwoPushesTheBarRight)
{
    splitter.setMaximumSize(2, 100);
    splitter.setPosition(20);
    EXPECT_EQ(splitter.Position(), 300 - 100 - 5);
}

TEST_F(cSplitterTest, ProportionAcceptsZeroToHundredOnly)
{
    EXPECT_TRUE(splitter.setProportion(0.0f));
    EXPECT_TRUE(splitter.setProportion(100.0f));
    EXPECT_FLOAT_EQ(splitter.Proportion(), 100.0f);
    EXPECT_FALSE(splitter.setProportion(100.5f));
    EXPECT_FALSE(splitter.setProportion(-0.1f));
    EXPECT_FLOAT_EQ(splitter.Proportion(), 100.0f) << "a refused value leaves the stored one";
}

TEST_F(cSplitterTest, SplitterSizeMustNotBeNegative)
{
    EXPECT_TRUE(splitter.setSplitterSize(0));
    EXPECT_EQ(splitter.SplitterSize(), 0);
    EXPECT_FALSE(splitter.setSplitterSize(-1));
    EXPECT_EQ(splitter.SplitterSize(), 0);
}

TEST_F(cSplitterTest, PaneIndexOutsideOneAndTwoIsRefused)
{
    EXPECT_FALSE(splitter.setMinimumSize(3, 10));
    EXPECT_FALSE(splitter.setMaximumSize(0, 10));
    EXPECT_EQ(splitter.MinimumSize(1), 8);
    EXPECT_EQ(splitter.MinimumSize(2), 8);
}

TEST_F(cSplitterTest, HidingBothPanesKeepsTheOtherOneFillingTheContainer)
{
    splitter.setControl2Visible(false);
    EXPECT_TRUE(left->isVisibleTo(&container));
    EXPECT_FALSE(right->isVisibleTo(&container));
    EXPECT_EQ(left->geometry(), QRect(0, 0, 300, 200));
    splitter.setControl1Visible(false);
    EXPECT_TRUE(splitter.Control2Visible());
    EXPECT_FALSE(left->isVisibleTo(&container));
    EXPECT_EQ(right->geometry(), QRect(0, 0, 300, 200));
}

TEST_F(cSplitterTest, OnlyTheLeftButtonDrags)
{
    splitter.setPosition(100);
    drag(50, Qt::RightButton);
    EXPECT_EQ(splitter.Position(), 100);
    EXPECT_FALSE(splitter.dragging());
}

TEST_F(cSplitterTest, MoveAndReleaseWithoutDragDoNothing)
{
    splitter.setPosition(100);
    splitter.MouseMove(QPoint(900, 10));
    splitter.MouseUp(QPoint(900, 10));
    EXPECT_EQ(splitter.Position(), 100);
    EXPECT_EQ(left->width(), 100);
}

TEST_F(cSplitterTest, AnOwnerCanCancelTheDrag)
{
    splitter.setPosition(100);
    QObject::connect(&splitter, &cSplitter::BeforeDrag, [](int, int, bool& cancel) { cancel = true; });
    drag(60);
    EXPECT_EQ(splitter.Position(), 100);
}

TEST_F(cSplitterTest, KeepsThePositionOnResizeWithoutProportion)
{
    container.resize(400, 200);
    splitter.setPosition(100);
    container.resize(800, 200);
    splitter.Resize();
    EXPECT_EQ(splitter.Position(), 100);
}

TEST_F(cSplitterTest, KeepsTheProportionOnResizeWhenAsked)
{
    container.resize(400, 200);
    splitter.setPosition(100);
    splitter.setKeepProportion(true);
    container.resize(800, 200);
    splitter.Resize();
    EXPECT_EQ(splitter.Position(), 200);
    EXPECT_EQ(left->width(), 200);
}

TEST_F(cSplitterTest, OutlineDragMovesThePanesOnlyOnRelease)
{
    splitter.setFullDrag(false);
    splitter.setPosition(100);
    const QPoint start(600, 400);
    splitter.MouseDown(Qt::LeftButton, QPoint(102, 10), start);
    splitter.MouseMove(start + QPoint(40, 0));
    EXPECT_EQ(left->width(), 100) << "panes stay while the outline moves";
    const QRubberBand* outline = container.findChild<QRubberBand*>();
    ASSERT_NE(outline, nullptr);
    EXPECT_TRUE(outline->isVisibleTo(&container));
    EXPECT_EQ(outline->geometry().left(), 140);
    splitter.MouseUp(start + QPoint(40, 0));
    EXPECT_EQ(left->width(), 140);
    EXPECT_FALSE(outline->isVisibleTo(&container)) << "no outline after release";
    EXPECT_FLOAT_EQ(splitter.Proportion(), 140.0f / 300.0f * 100.0f);
}

TEST_F(cSplitterTest, FullDragMovesThePanesWhileDragging)
{
    splitter.setPosition(100);
    const QPoint start(600, 400);
    splitter.MouseDown(Qt::LeftButton, QPoint(102, 10), start);
    splitter.MouseMove(start + QPoint(-30, 0));
    EXPECT_EQ(left->width(), 70);
    splitter.MouseUp(start + QPoint(-30, 0));
    EXPECT_FALSE(splitter.dragging());
}

TEST_F(cSplitterTest, ContainerEventsDriveTheSplitter)
{
    // Each event is built right before it is sent: mouse events of one device share their point.
    splitter.setPosition(100);
    const auto send = [this](QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(x, 10), QPointF(x + 500, 410), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&container, &event);
    };
    send(QEvent::MouseButtonPress, 102, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(splitter.dragging());
    send(QEvent::MouseMove, 122, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(left->width(), 120);
    send(QEvent::MouseButtonRelease, 122, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(splitter.Position(), 120);
    EXPECT_FALSE(splitter.dragging());
}

TEST_F(cSplitterTest, APositionSetBeforeTheFirstShowWaitsForTheRealSize)
{
    // A pane container inside a window that is still being built has Qt's provisional child
    // size (100 x 30) until the window is shown and laid out.
    QWidget window;
    auto* pane = new QWidget(&window);
    QWidget* a = new QWidget(pane);
    QWidget* b = new QWidget(pane);
    cSplitter s;
    s.setOrientation(cSplitter::kVerticalBar);
    s.setContainer(pane);
    s.Bind(a, b);
    s.setPosition(245);
    window.resize(900, 400);
    pane->setGeometry(0, 0, 800, 300); // the window's layout, before it is shown
    window.show();
    EXPECT_EQ(s.Position(), 245);
    EXPECT_EQ(a->width(), 245);
}

TEST_F(cSplitterTest, APositionBeyondTheShownContainerIsClampedThen)
{
    QWidget window;
    auto* pane = new QWidget(&window);
    QWidget* a = new QWidget(pane);
    QWidget* b = new QWidget(pane);
    cSplitter s;
    s.setOrientation(cSplitter::kVerticalBar);
    s.setContainer(pane);
    s.Bind(a, b);
    s.setPosition(900);
    window.resize(900, 400);
    pane->setGeometry(0, 0, 500, 300);
    window.show();
    EXPECT_EQ(s.Position(), 500 - 8 - 4);
}

TEST_F(cSplitterTest, ReplacingAControlHidesTheOldOne)
{
    QWidget elsewhere;
    QWidget* other = new QWidget(&elsewhere);
    splitter.setControl2(other);
    EXPECT_EQ(other->parentWidget(), &container);
    EXPECT_EQ(right->parentWidget(), &elsewhere);
    EXPECT_FALSE(right->isVisibleTo(&elsewhere));
    EXPECT_EQ(other->geometry().left(), splitter.Position() + 5);
    delete right; // now owned by elsewhere; removed before elsewhere goes
    delete other;
}

} // namespace
