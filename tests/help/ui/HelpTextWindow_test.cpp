#include "base/ErrorReport.h"
#include "help/ui/HelpTextWindow.h"
#include "widgets/Twips.h"
#include "widgets/WindowPointer.h"

#include "ScriptedDialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::ScriptedDialogs;

// Runs once the modal window is up: hands it to the check, which closes it.
void WhenModalShows(std::function<void(HelpTextWindow&)> check)
{
    QTimer::singleShot(0, [check] {
        auto* shown = qobject_cast<HelpTextWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        check(*shown);
    });
}

TEST(HelpTextWindowTest, DesignedWindowWithTextAndClose)
{
    ScriptedDialogs dialogs;
    HelpTextWindow window(dialogs);
    window.load();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Form3"));
    EXPECT_EQ(window.size(), QSize(401, 267));
    EXPECT_EQ(window.text()->geometry(), TwipsRect(120, 120, 5760, 3255));
    EXPECT_EQ(window.closeButton()->geometry(), TwipsRect(120, 3480, 5760, 400));
    EXPECT_EQ(window.closeButton()->text(), QStringLiteral("Close"));
    EXPECT_EQ(window.text()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window.text()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(window.text()->isReadOnly());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window.palette().color(QPalette::Window),
              QGuiApplication::palette().color(QPalette::Button));
    EXPECT_DOUBLE_EQ(window.closeButton()->font().pointSizeF(), 11.25);
    EXPECT_TRUE(window.text()->font().bold());
}

TEST(HelpTextWindowTest, ShowsTheTextModallyOverItsOwnerUntilClosed)
{
    ScriptedDialogs dialogs;
    QWidget owner;
    owner.show();
    QString shownText;
    bool modal = false;
    WhenModalShows([&](HelpTextWindow& window) {
        shownText = window.text()->toPlainText();
        modal = window.isModal() && window.parentWidget() == &owner;
        QTest::mouseClick(window.closeButton(), Qt::LeftButton);
    });
    ShowHelpTextWindow(dialogs, QStringLiteral("Line no 4: a,b,c"), &owner);
    EXPECT_EQ(shownText, QStringLiteral("Line no 4: a,b,c"));
    EXPECT_TRUE(modal);
    EXPECT_TRUE(owner.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(HelpTextWindowTest, TitleBarCloseEndsTheShowingLikeClose)
{
    ScriptedDialogs dialogs;
    WhenModalShows([](HelpTextWindow& window) { window.close(); });
    ShowHelpTextWindow(dialogs, QStringLiteral("first"), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(HelpTextWindowTest, EachShowingIsAFreshWindowWithOnlyTheNewText)
{
    ScriptedDialogs dialogs;
    WhenModalShows([](HelpTextWindow& window) {
        window.text()->appendPlainText(QStringLiteral("typed by the user"));
        window.close();
    });
    ShowHelpTextWindow(dialogs, QStringLiteral("first"), nullptr);
    QString second;
    WhenModalShows([&](HelpTextWindow& window) {
        second = window.text()->toPlainText();
        window.close();
    });
    ShowHelpTextWindow(dialogs, QStringLiteral("second"), nullptr);
    EXPECT_EQ(second, QStringLiteral("second"));
}

TEST(HelpTextWindowTest, CloseButtonShowsTheHandAndTheWindowTheArrow)
{
    ScriptedDialogs dialogs;
    HelpTextWindow window(dialogs);
    window.load();
    const QPointF inside(2, 2);
    QMouseEvent overButton(QEvent::MouseMove, inside, window.closeButton()->mapToGlobal(inside),
                           Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.closeButton(), &overButton);
    EXPECT_EQ(window.pointer().state(), PointerState::Custom);
    QMouseEvent overWindow(QEvent::MouseMove, inside, window.mapToGlobal(inside), Qt::NoButton,
                           Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &overWindow);
    EXPECT_EQ(window.pointer().state(), PointerState::Default);
}

}  // namespace
}  // namespace quorvane
