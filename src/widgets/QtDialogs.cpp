#include "widgets/QtDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSpacerItem>

namespace quorvane {

namespace {

// Qt sizes a message box to its text alone, so a short one ("Done.")
// makes a box narrower than its own title, which the title bar then cuts.
// The title is measured in the title-bar font, with room for the window
// icon and the window manager's buttons beside it. Setting a check box
// lays the box out anew, so this comes after.
void WidenForTitle(QMessageBox& box)
{
    constexpr int kTitleBarBoxesPx = 120;
    const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const int width = title.horizontalAdvance(box.windowTitle()) + kTitleBarBoxesPx;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const QMargins margins = grid->contentsMargins();
    grid->addItem(new QSpacerItem(width - margins.left() - margins.right(), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

QString QtDialogs::ScreenText(const QString& text)
{
    QString screen = text;
    screen.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    screen.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return screen;
}

QWidget* QtDialogs::owner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->isWindow() && !qobject_cast<QMessageBox*>(top))
            return top;
    }
    return nullptr;
}

bool QtDialogs::messageBox(const MessageBoxSpec& spec)
{
    QMessageBox box(spec.warningIcon ? QMessageBox::Warning : QMessageBox::NoIcon, spec.title,
                    ScreenText(spec.text), QMessageBox::Ok, owner());
    // Left to guess, Qt takes a text with a tag in its first line for rich
    // text and drops its line breaks; a report may quote any name or value.
    box.setTextFormat(Qt::PlainText);
    QCheckBox* check = nullptr;
    if (!spec.checkBoxText.isEmpty()) {
        check = new QCheckBox(spec.checkBoxText, &box);
        box.setCheckBox(check);
    }
    WidenForTitle(box);
    box.exec();
    return check && check->isChecked();
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    QInputDialog dialog(owner());
    dialog.setWindowTitle(title);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(ScreenText(prompt));
    dialog.setTextValue(defaultAnswer);
    // The prompt is plain text, as in the message box.
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QStringList QtDialogs::openFiles(const OpenFilesSpec& spec)
{
    const QString filter = spec.filters.join(QStringLiteral(";;"));
    QString selected = spec.filters.value(spec.selectedFilter);
    return QFileDialog::getOpenFileNames(owner(), spec.title, QString(), filter, &selected);
}

QString QtDialogs::browseForFolder(const QString& prompt, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(owner(), prompt, initialFolder,
                                             QFileDialog::ShowDirsOnly);
}

void QtDialogs::showTextWindow(const QString& text)
{
    if (textWindow_)
        textWindow_(text, owner());
}

}  // namespace quorvane
