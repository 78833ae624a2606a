// cSplitter.h: divides one container widget between two child widgets, side by side or one above
// the other, with a draggable bar in the strip the two leave uncovered. Keeps the bar inside the
// panes' minimum and maximum sizes, can keep the division proportional, and drags live or as an
// outline. All sizes are in the container's pixels.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QRubberBand;

namespace foldersize {

class cSplitter : public QObject {
    Q_OBJECT
public:
    // Orientation 1: the bar runs horizontally, Control1 above Control2.
    // Orientation 2: the bar runs vertically, Control1 left of Control2.
    static constexpr int kHorizontalBar = 1;
    static constexpr int kVerticalBar = 2;

    explicit cSplitter(QObject* parent = nullptr);
    ~cSplitter() override;

    bool FullDrag() const { return m_fullDrag; }
    void setFullDrag(bool bState);

    int Orientation() const { return m_orientation; }
    void setOrientation(int eOrientation);

    // Percent 0..100 of the container's width (orientation 2) or height (orientation 1).
    float Proportion() const;
    // False (invalid property value) outside 0..100; the stored value then stays.
    bool setProportion(float fProportion);

    int Position() const { return m_position; }
    // Clamped at once in a shown container; in one not shown yet at its first layout once shown.
    void setPosition(int lPosition);

    bool KeepProportion() const { return m_keepProportion; }
    void setKeepProportion(bool bState) { m_keepProportion = bState; }

    QWidget* Container() const { return m_container; }
    // Also watches the container's mouse, resize and paint events.
    void setContainer(QWidget* oContainer);

    int SplitterSize() const { return m_splitterSize; }
    // False (invalid property value) for a negative size.
    bool setSplitterSize(int lSize);

    // ePanel 1 or 2; any other index is out of range: the getter answers 0, the setter false.
    int MinimumSize(int ePanel) const;
    bool setMinimumSize(int ePanel, int lSize);
    int MaximumSize(int ePanel) const;
    bool setMaximumSize(int ePanel, int lSize);

    bool Control1Visible() const { return m_control1Visible; }
    void setControl1Visible(bool New_Control1Visible);
    bool Control2Visible() const { return m_control2Visible; }
    void setControl2Visible(bool New_Control2Visible);

    bool DrawSplitterbar() const { return m_drawSplitterbar; }
    void setDrawSplitterbar(bool New_DrawSplitterbar) { m_drawSplitterbar = New_DrawSplitterbar; }

    QWidget* Control1() const { return m_control1; }
    void setControl1(QWidget* NewControl);
    QWidget* Control2() const { return m_control2; }
    void setControl2(QWidget* NewControl);

    // Without a container, the container becomes oLeftTop's parent.
    void Bind(QWidget* oLeftTop, QWidget* oRightBottom);

    // The container's mouse events; the drag follows the pointer's global position.
    void MouseDown(Qt::MouseButton button, const QPoint& localPos, const QPoint& globalPos);
    void MouseMove(const QPoint& globalPos);
    void MouseUp(const QPoint& globalPos);
    // New layout after the container changed size.
    void Resize();

    bool dragging() const { return m_dragging; }

signals:
    // Before a drag starts, with the container coordinates; setting cancel prevents the drag.
    void BeforeDrag(int x, int y, bool& cancel);
    // After a drag ended and the panes were laid out.
    void dragFinished(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsBound() const;
    int extent() const;
    void ClampPosition();
    void UpdateProportion();
    void ArrangeControls();
    void PaintSplitterbar();
    void showOutline();
    void hideOutline();
    int positionFor(const QPoint& globalPos) const;
    void adopt(QPointer<QWidget>& slot, QWidget* control);

    bool m_control1Visible = true;
    bool m_control2Visible = true;
    bool m_drawSplitterbar = false;
    bool m_keepProportion = false;
    float m_proportion = 0.5f;
    int m_position = 128;
    int m_splitterSize = 4;
    int m_minimumSize[2] = {8, 8};
    int m_maximumSize[2] = {-1, -1};
    bool m_fullDrag = true;
    bool m_dragging = false;
    bool m_clampPending = false;
    QPoint m_dragStartPoint;
    int m_dragStartPosition = 0;
    int m_orientation = kHorizontalBar;
    QPointer<QWidget> m_container;
    QPointer<QWidget> m_control1;
    QPointer<QWidget> m_control2;
    QRubberBand* m_outline = nullptr;
};

} // namespace foldersize
