#include "base/ErrorReport.h"
#include "widgets/Twips.h"
#include "widgets/WindowPointer.h"
#include "help/ui/HelpTextWindow.h"

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
void WhenModalShows(std::function<void(Form3&)> check)
{
    QTimer::singleShot(0, [check] {
        auto* shown = qobject_cast<Form3*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        check(*shown);
    });
}

TEST(Form3Test, DesignedWindowWithTextAndClose)
{
    ScriptedDialogs dialogs;
    Form3 window(dialogs);
    window.Form_Load();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Form3"));
    EXPECT_EQ(window.size(), QSize(401, 267));
    EXPECT_EQ(window.Text1()->geometry(), TwipsRect(120, 120, 5760, 3255));
    EXPECT_EQ(window.PushButton5()->geometry(), TwipsRect(120, 3480, 5760, 400));
    EXPECT_EQ(window.PushButton5()->text(), QStringLiteral("Close"));
    EXPECT_EQ(window.Text1()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window.Text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(window.Text1()->isReadOnly());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window.palette().color(QPalette::Window),
              QGuiApplication::palette().color(QPalette::Button));
    EXPECT_DOUBLE_EQ(window.PushButton5()->font().pointSizeF(), 11.25);
    EXPECT_TRUE(window.Text1()->font().bold());
}

TEST(Form3Test, ShowsTheTextModallyOverItsOwnerUntilClosed)
{
    ScriptedDialogs dialogs;
    QWidget owner;
    owner.show();
    QString shownText;
    bool modal = false;
    WhenModalShows([&](Form3& window) {
        shownText = window.Text1()->toPlainText();
        modal = window.isModal() && window.parentWidget() == &owner;
        QTest::mouseClick(window.PushButton5(), Qt::LeftButton);
    });
    ShowHelpTextWindow(dialogs, QStringLiteral("Line no 4: a,b,c"), &owner);
    EXPECT_EQ(shownText, QStringLiteral("Line no 4: a,b,c"));
    EXPECT_TRUE(modal);
    EXPECT_TRUE(owner.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(Form3Test, TitleBarCloseEndsTheShowingLikeClose)
{
    ScriptedDialogs dialogs;
    WhenModalShows([](Form3& window) { window.close(); });
    ShowHelpTextWindow(dialogs, QStringLiteral("first"), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(Form3Test, EachShowingIsAFreshWindowWithOnlyTheNewText)
{
    ScriptedDialogs dialogs;
    WhenModalShows([](Form3& window) {
        window.Text1()->appendPlainText(QStringLiteral("typed by the user"));
        window.close();
    });
    ShowHelpTextWindow(dialogs, QStringLiteral("first"), nullptr);
    QString second;
    WhenModalShows([&](Form3& window) {
        second = window.Text1()->toPlainText();
        window.close();
    });
    ShowHelpTextWindow(dialogs, QStringLiteral("second"), nullptr);
    EXPECT_EQ(second, QStringLiteral("second"));
}

TEST(Form3Test, CloseButtonShowsTheHandAndTheWindowTheArrow)
{
    ScriptedDialogs dialogs;
    Form3 window(dialogs);
    window.Form_Load();
    const QPointF inside(2, 2);
    QMouseEvent overButton(QEvent::MouseMove, inside, window.PushButton5()->mapToGlobal(inside),
                           Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.PushButton5(), &overButton);
    EXPECT_EQ(window.pointer().state(), PointerState::Custom);
    QMouseEvent overWindow(QEvent::MouseMove, inside, window.mapToGlobal(inside), Qt::NoButton,
                           Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &overWindow);
    EXPECT_EQ(window.pointer().state(), PointerState::Default);
}

}  // namespace
}  // namespace quorvane
