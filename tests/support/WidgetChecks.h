#pragma once

// Checks shared by the window tests (GUI test programs only).

#include "widgets/Twips.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace quorvane::testing {

// The caption a control shows: a label's text, a button's, a frame's title.
inline QString CaptionOf(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        return frame->title();
    return {};
}

// A control at its place in twips, with its caption and its font: buttons
// 11.25 pt, everything else 9 pt.
inline void ExpectCaptionPlaceAndFont(QWidget* control, const QRect& twips, const QString& caption)
{
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    EXPECT_EQ(CaptionOf(control), caption);
    const bool button = qobject_cast<QPushButton*>(control) != nullptr;
    EXPECT_DOUBLE_EQ(control->font().pointSizeF(), button ? 11.25 : 9.0);
}

}  // namespace quorvane::testing
