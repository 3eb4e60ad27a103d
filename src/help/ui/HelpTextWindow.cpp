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

Form3::Form3(Dialogs& dialogs, QWidget* owner)
    : QDialog(owner),
      dialogs_(dialogs),
      pointer_(this),
      text1_(new QPlainTextEdit(this)),
      pushButton5_(new QPushButton(QStringLiteral("Close"), this))
{
    setWindowTitle(QStringLiteral("Form3"));
    setFont(FieldFont());
    FixWindowSize(this, 6015, 4005, TitleBarBoxes::CloseOnly);
    UseWhiteColours(this);

    PlaceInTwips(text1_, 120, 120, 5760, 3255);
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    PlaceInTwips(pushButton5_, 120, 3480, 5760, 400);
    pushButton5_->setFont(ButtonFont());
    pushButton5_->setAutoDefault(false);
    connect(pushButton5_, &QPushButton::clicked, this, [this] { PushButton5_Click(); });

    SetPointerOnHover(pushButton5_, pointer_, HoverPointer::Hand);
    SetPointerOnHover(this, pointer_, HoverPointer::Arrow);
}

void Form3::Form_Load()
{
    ReportingProcedure proc(dialogs_, Location::Form3Load);
    proc.step(100, [&] { UseButtonFaceColours(this); });
    proc.step(102, [&] { setWindowIcon(ApplicationIcon()); });
    if (proc.test(104, [] { return HandPointerFileExists(); }))
        proc.step(106, [&] { LoadHandPointer(pointer_); });
}

void Form3::PushButton5_Click()
{
    ReportingProcedure proc(dialogs_, Location::Form3Close);
    proc.step(100, [&] { close(); });
}

void ShowHelpTextWindow(Dialogs& dialogs, const QString& text, QWidget* owner)
{
    Form3 window(dialogs, owner);
    window.Form_Load();
    window.Text1()->setPlainText(QtDialogs::ScreenText(text));
    CentreOnScreen(&window);
    window.exec();
}

}  // namespace quorvane
