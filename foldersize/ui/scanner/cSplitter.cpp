// cSplitter.cpp: layout, clamping and drag protocol of the two-pane splitter.
#include "foldersize/ui/scanner/cSplitter.h"

#include <QColor>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWidget>

#include <cmath>

namespace foldersize {

cSplitter::cSplitter(QObject* parent)
    : QObject(parent)
{}

cSplitter::~cSplitter()
{
    if (m_container)
        m_container->removeEventFilter(this);
    delete m_outline;
}

void cSplitter::setFullDrag(bool bState)
{
    if (bState == m_fullDrag)
        return;
    m_fullDrag = bState;
    if (m_fullDrag)
        hideOutline();
}

void cSplitter::setOrientation(int eOrientation)
{
    if (eOrientation == m_orientation)
        return;
    m_orientation = eOrientation;
    if (m_container)
        m_container->setCursor(m_orientation == kHorizontalBar ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    Resize();
}

float cSplitter::Proportion() const { return std::min(m_proportion, 1.0f) * 100.0f; }

bool cSplitter::setProportion(float fProportion)
{
    if (!(fProportion >= 0.0f && fProportion <= 100.0f))
        return false;
    m_proportion = fProportion / 100.0f;
    Resize();
    return true;
}

void cSplitter::setPosition(int lPosition)
{
    if (lPosition == m_position)
        return;
    m_position = lPosition;
    if (m_container && !m_container->isVisible()) {
        // A container that was never shown has no final size yet (a window restores the
        // position while it is built); clamping against it would squeeze the pane.
        m_clampPending = true;
    } else {
        ClampPosition();
        UpdateProportion();
    }
    Resize();
}

void cSplitter::setContainer(QWidget* oContainer)
{
    if (m_container)
        m_container->removeEventFilter(this);
    m_container = oContainer;
    if (m_container) {
        m_container->installEventFilter(this);
        m_container->setCursor(m_orientation == kHorizontalBar ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    }
}

bool cSplitter::setSplitterSize(int lSize)
{
    if (lSize < 0)
        return false;
    if (lSize != m_splitterSize) {
        m_splitterSize = lSize;
        Resize();
    }
    return true;
}

int cSplitter::MinimumSize(int ePanel) const
{
    return ePanel == 1 || ePanel == 2 ? m_minimumSize[ePanel - 1] : 0;
}

bool cSplitter::setMinimumSize(int ePanel, int lSize)
{
    if (ePanel != 1 && ePanel != 2)
        return false;
    if (m_minimumSize[ePanel - 1] != lSize) {
        m_minimumSize[ePanel - 1] = lSize;
        Resize();
    }
    return true;
}

int cSplitter::MaximumSize(int ePanel) const
{
    return ePanel == 1 || ePanel == 2 ? m_maximumSize[ePanel - 1] : 0;
}

bool cSplitter::setMaximumSize(int ePanel, int lSize)
{
    if (ePanel != 1 && ePanel != 2)
        return false;
    m_maximumSize[ePanel - 1] = lSize;
    return true;
}

void cSplitter::setControl1Visible(bool New_Control1Visible)
{
    if (New_Control1Visible == m_control1Visible)
        return;
    m_control1Visible = New_Control1Visible;
    if (!m_control1Visible && !m_control2Visible)
        m_control2Visible = true;
    Resize();
}

void cSplitter::setControl2Visible(bool New_Control2Visible)
{
    if (New_Control2Visible == m_control2Visible)
        return;
    m_control2Visible = New_Control2Visible;
    if (!m_control2Visible && !m_control1Visible)
        m_control1Visible = true;
    Resize();
}

void cSplitter::adopt(QPointer<QWidget>& slot, QWidget* control)
{
    if (slot && slot != control) {
        // The control bound so far goes into the new control's current container, hidden.
        if (control && control->parentWidget())
            slot->setParent(control->parentWidget());
        slot->hide();
    }
    slot = control;
    if (control && m_container) {
        control->setParent(m_container);
        control->show();
    }
}

void cSplitter::setControl1(QWidget* NewControl)
{
    adopt(m_control1, NewControl);
    Resize();
}

void cSplitter::setControl2(QWidget* NewControl)
{
    adopt(m_control2, NewControl);
    Resize();
}

void cSplitter::Bind(QWidget* oLeftTop, QWidget* oRightBottom)
{
    if (!m_container && oLeftTop)
        setContainer(oLeftTop->parentWidget());
    m_control1 = oLeftTop;
    m_control2 = oRightBottom;
    for (QWidget* w : {oLeftTop, oRightBottom}) {
        if (w && m_container && w->parentWidget() != m_container)
            w->setParent(m_container);
    }
    Resize();
}

bool cSplitter::IsBound() const { return m_container && m_control1 && m_control2; }

int cSplitter::extent() const
{
    if (!m_container)
        return 0;
    const QRect client = m_container->contentsRect();
    return m_orientation == kVerticalBar ? client.width() : client.height();
}

void cSplitter::ClampPosition()
{
    const int total = extent();
    const auto pane2 = [&] { return total - m_position - m_splitterSize; };
    if (m_maximumSize[1] > 0 && pane2() > m_maximumSize[1])
        m_position = total - m_maximumSize[1] - m_splitterSize;
    if (m_maximumSize[0] > 0 && m_position > m_maximumSize[0])
        m_position = m_maximumSize[0];
    if (m_minimumSize[1] > 0 && pane2() < m_minimumSize[1])
        m_position = total - m_minimumSize[1] - m_splitterSize;
    if (m_minimumSize[0] > 0 && m_position < m_minimumSize[0])
        m_position = m_minimumSize[0];
}

void cSplitter::UpdateProportion()
{
    const int total = extent();
    if (total > 0)
        m_proportion = static_cast<float>(m_position) / static_cast<float>(total);
}

void cSplitter::Resize()
{
    if (!IsBound())
        return;
    if (m_clampPending && m_container->isVisible()) {
        m_clampPending = false;
        ClampPosition();
        UpdateProportion();
    }
    if (m_keepProportion) {
        // Halves go to the even neighbour, as the default rounding mode does.
        m_position = static_cast<int>(std::nearbyint(static_cast<double>(m_proportion) * extent()));
        ClampPosition();
    }
    ArrangeControls();
}

void cSplitter::ArrangeControls()
{
    if (!IsBound())
        return;
    const QRect client = m_container->contentsRect();
    const auto place = [](QWidget* w, int left, int top, int width, int height) {
        // A pane that would get a negative size keeps its place, as a failed move would.
        if (width >= 0 && height >= 0)
            w->setGeometry(left, top, width, height);
    };
    if (m_control1Visible && m_control2Visible) {
        m_control1->show();
        m_control2->show();
        if (m_orientation == kHorizontalBar) {
            place(m_control1, client.left(), client.top(), client.width(), m_position);
            const int t = m_position + m_splitterSize;
            place(m_control2, client.left(), client.top() + t, client.width(), client.height() - t);
        } else {
            place(m_control1, client.left(), client.top(), m_position, client.height());
            const int l = m_position + m_splitterSize;
            place(m_control2, client.left() + l, client.top(), client.width() - l, client.height());
        }
    } else if (m_control1Visible) {
        m_control2->hide();
        m_control1->show();
        place(m_control1, client.left(), client.top(), client.width(), client.height());
    } else {
        m_control1->hide();
        m_control2->show();
        place(m_control2, client.left(), client.top(), client.width(), client.height());
    }
    PaintSplitterbar();
}

void cSplitter::PaintSplitterbar()
{
    if (m_drawSplitterbar && m_container)
        m_container->update();
}

int cSplitter::positionFor(const QPoint& globalPos) const
{
    const QPoint delta = globalPos - m_dragStartPoint;
    return m_dragStartPosition + (m_orientation == kVerticalBar ? delta.x() : delta.y());
}

void cSplitter::showOutline()
{
    if (!m_container)
        return;
    if (!m_outline)
        m_outline = new QRubberBand(QRubberBand::Line, m_container);
    const QRect client = m_container->contentsRect();
    const QRect bar = m_orientation == kVerticalBar
        ? QRect(client.left() + m_position, client.top(), m_splitterSize, client.height())
        : QRect(client.left(), client.top() + m_position, client.width(), m_splitterSize);
    m_outline->setGeometry(bar);
    m_outline->show();
    m_outline->raise();
}

void cSplitter::hideOutline()
{
    if (m_outline)
        m_outline->hide();
}

void cSplitter::MouseDown(Qt::MouseButton button, const QPoint& localPos, const QPoint& globalPos)
{
    if (button != Qt::LeftButton)
        return;
    bool cancel = false;
    emit BeforeDrag(localPos.x(), localPos.y(), cancel);
    if (cancel)
        return;
    m_dragging = true;
    m_dragStartPoint = globalPos;
    m_dragStartPosition = m_position;
    if (!m_fullDrag)
        showOutline();
}

void cSplitter::MouseMove(const QPoint& globalPos)
{
    if (!IsBound() || !m_dragging)
        return;
    m_position = positionFor(globalPos);
    ClampPosition();
    if (m_fullDrag)
        ArrangeControls();
    else
        showOutline();
}

void cSplitter::MouseUp(const QPoint& globalPos)
{
    if (!IsBound() || !m_dragging)
        return;
    hideOutline();
    m_position = positionFor(globalPos);
    ClampPosition();
    ArrangeControls();
    UpdateProportion();
    m_dragging = false;
    emit dragFinished(m_position);
}

bool cSplitter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_container)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        MouseDown(e->button(), e->position().toPoint(), e->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseMove: MouseMove(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()); break;
    case QEvent::MouseButtonRelease:
        MouseUp(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        break;
    case QEvent::Resize:
    case QEvent::Show: Resize(); break;
    case QEvent::Paint:
        if (m_drawSplitterbar && m_control1) {
            // Raised look: five lines beside the first pane, from light to shadow.
            static const QColor kLines[5] = {QColor(241, 239, 226), QColor(255, 255, 255),
                QColor(224, 223, 227), QColor(224, 223, 227), QColor(157, 157, 161)};
            QPainter painter(m_container);
            const int x0 = m_control1->width();
            for (int k = 0; k < 5; ++k) {
                painter.setPen(kLines[k]);
                painter.drawLine(x0 + k, 0, x0 + k, m_container->height());
            }
        }
        break;
    default: break;
    }
    return false;
}

} // namespace foldersize
