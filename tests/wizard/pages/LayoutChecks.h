// LayoutChecks.h: layout checks for the step pages: every caption fits its control and no two
// captioned sibling controls overlap.
#pragma once

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace wizard::test {

// The captioned labels, check boxes and option buttons directly inside `container` and not hidden.
inline std::vector<QWidget*> captionedControls(const QWidget* container)
{
    std::vector<QWidget*> found;
    for (QWidget* w : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isHidden())
            continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty())
            found.push_back(w);
        else if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty() &&
                 !qobject_cast<const QWidget*>(button)->inherits("QPushButton"))
            found.push_back(w);
    }
    return found;
}

// Each captioned control of `container` shows its whole caption, and none overlaps another.
inline void expectCaptionsWholeAndApart(const QWidget* container)
{
    const std::vector<QWidget*> controls = captionedControls(container);
    ASSERT_FALSE(controls.empty()) << container->objectName().toStdString();
    for (QWidget* w : controls) {
        const QString name = w->objectName();
        auto* label = qobject_cast<QLabel*>(w);
        if (label && label->wordWrap()) {
            EXPECT_GE(w->height(), label->heightForWidth(w->width())) << name.toStdString();
        } else {
            EXPECT_GE(w->width(), w->sizeHint().width()) << name.toStdString();
            // Buttons may be lower than their styled size hint, but never lower than their text lines.
            const QString text = label ? label->text() : qobject_cast<QAbstractButton*>(w)->text();
            EXPECT_GE(w->height(), w->fontMetrics().boundingRect(QRect(), 0, text).height())
                << name.toStdString();
        }
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " overlaps "
                << controls[j]->objectName().toStdString();
}

} // namespace wizard::test
