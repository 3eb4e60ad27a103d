#include "help/ui/HelpTextWindow.h"

#include "base/ErrorReport.h"
#include "base/ReportingProcedure.h"
#include "widgets/ApplicationIcon.h"
#include "widgets/QtDialogs.h"
#include "widgets/Twips.h"
#include "widgets/WindowLook.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace quorvane {

namespace {

// The line numbers each procedure's error reports quote.
// load()
namespace LoadLine {
constexpr int Colours = 100, Icon = 102, HandPointerExists = 104, HandPointer = 106;
}  // namespace LoadLine

// onCloseClicked()
namespace CloseLine {
constexpr int Close = 100;
}  // namespace CloseLine

}  // namespace

HelpTextWindow::HelpTextWindow(Dialogs& dialogs, QWidget* owner)
    : QDialog(owner),
      dialogs_(dialogs),
      pointer_(this),
      text_(new QPlainTextEdit(this)),
      closeButton_(new QPushButton(QStringLiteral("Close"), this))
{
    setWindowTitle(QStringLiteral("Form3"));
    setFont(FieldFont());
    FixWindowSize(this, 6015, 4005, TitleBarBoxes::CloseOnly);
    UseWhiteColours(this);

    PlaceInTwips(text_, 120, 120, 5760, 3255);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The text has no label on screen; a screen reader still needs a name.
    text_->setAccessibleName(QStringLiteral("Help text"));

    PlaceInTwips(closeButton_, 120, 3480, 5760, 400);
    closeButton_->setFont(ButtonFont());
    closeButton_->setAutoDefault(false);
    connect(closeButton_, &QPushButton::clicked, this, [this] { onCloseClicked(); });

    SetPointerOnHover(closeButton_, pointer_, HoverPointer::Hand);
    SetPointerOnHover(this, pointer_, HoverPointer::Arrow);
}

void HelpTextWindow::load()
{
    ReportingProcedure proc(dialogs_, Location::HelpTextWindowLoad);
    proc.step(LoadLine::Colours, [&] { UseButtonFaceColours(this); });
    proc.step(LoadLine::Icon, [&] { setWindowIcon(ApplicationIcon()); });
    if (proc.test(LoadLine::HandPointerExists, [] { return HandPointerFileExists(); }))
        proc.step(LoadLine::HandPointer, [&] { LoadHandPointer(pointer_); });
}

void HelpTextWindow::onCloseClicked()
{
    ReportingProcedure proc(dialogs_, Location::HelpTextWindowClose);
    proc.step(CloseLine::Close, [&] { close(); });
}

void ShowHelpTextWindow(Dialogs& dialogs, const QString& text, QWidget* owner)
{
    HelpTextWindow window(dialogs, owner);
    window.load();
    window.text()->setPlainText(QtDialogs::ScreenText(text));
    CentreOnScreen(&window);
    window.exec();
}

}  // namespace quorvane
