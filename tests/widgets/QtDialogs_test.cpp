// The message box and the input box on Qt's own dialogs, offscreen. Their
// texts are plain text: a report whose first line quotes something that
// looks like a tag (a file name, a value) keeps the tag and its line breaks.
#include "widgets/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace quorvane {
namespace {

const QString kText = QStringLiteral("Cannot open file <b>orders</b>.txt\r\nat line 128");

// Shows a dialog and, once it is up, reads the label that carries the text
// and closes the dialog with its Cancel (or only) button.
struct ShownLabel {
    bool found = false;
    QString text;
    int height = 0;
    int lineSpacing = 0;
};

ShownLabel ShowAndRead(const std::function<void()>& show)
{
    ShownLabel seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->text().contains(QStringLiteral("at line 128")))
                continue;
            seen.found = true;
            seen.text = label->text();
            seen.height = label->sizeHint().height();
            seen.lineSpacing = label->fontMetrics().lineSpacing();
        }
        dialog->reject();
    });
    show();
    return seen;
}

void ExpectTwoPlainLines(const ShownLabel& seen)
{
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, QStringLiteral("Cannot open file <b>orders</b>.txt\nat line 128"));
    // Taken for rich text, the line break is a space and the tag vanishes:
    // the label would be one line high.
    EXPECT_GE(seen.height, 2 * seen.lineSpacing);
}

TEST(QtDialogsPlainText, MessageBoxShowsTheTextAsWritten)
{
    QtDialogs dialogs;
    ExpectTwoPlainLines(ShowAndRead([&] { dialogs.messageBox({kText, QStringLiteral("Quorvane")}); }));
}

TEST(QtDialogsPlainText, InputBoxShowsThePromptAsWritten)
{
    QtDialogs dialogs;
    ExpectTwoPlainLines(ShowAndRead([&] {
        EXPECT_EQ(dialogs.inputBox(kText, QStringLiteral("Quorvane"), QStringLiteral("txt")), QString());
    }));
}

// A box with a short text is still as wide as its title, plus the title
// bar's boxes, so the title bar does not cut the title.
TEST(QtDialogsWidth, MessageBoxIsAtLeastAsWideAsItsTitle)
{
    const QFontMetrics titleFont(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const QString longTitle = QStringLiteral("Quorvane - a title far longer than the text of the box");
    // A check box makes Qt lay the box out anew.
    const struct {
        QString title;
        QString checkBox;
    } cases[] = {{QStringLiteral("Quorvane"), {}}, {longTitle, {}}, {longTitle, QStringLiteral("Skip")}};
    for (const auto& [title, checkBox] : cases) {
        SCOPED_TRACE(title.toStdString() + " " + checkBox.toStdString());
        int width = 0;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                width = box->width();
                box->reject();
            }
        });
        QtDialogs dialogs;
        dialogs.messageBox({QStringLiteral("Done."), title, false, checkBox});
        EXPECT_GE(width, titleFont.horizontalAdvance(title) + 3 * 20);
    }
}

}  // namespace
}  // namespace quorvane
