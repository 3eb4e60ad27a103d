#include "import/ui/ImportWindow.h"

#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/ReportingProcedure.h"
#include "widgets/ApplicationIcon.h"
#include "widgets/ProgramLifetime.h"
#include "widgets/Twips.h"
#include "widgets/WindowFlow.h"
#include "widgets/WindowLook.h"
#include "db/TableCatalogue.h"
#include "filelist/ui/FileListView.h"
#include "help/FormatExplanation.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace quorvane {

Form2::Form2(Dialogs& dialogs, ProgramLifetime& lifetime, ConnectionParametersSource& parameters,
             WindowFlow& flow)
    : dialogs_(dialogs),
      lifetime_(lifetime),
      parameters_(parameters),
      flow_(flow),
      pointer_(this),
      controls_(BuildForm2Controls(this, pointer_)),
      tableList_(controls_.List1),
      options_(controls_)
{
    setFont(FieldFont());
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setFont(ButtonFont());
    FixWindowSize(this, 15960, 5160, TitleBarBoxes::CloseAndMinimise);
    UseWhiteColours(this);
    connectHandlers();
}

void Form2::connectHandlers()
{
    const Form2Controls& c = controls_;
    connect(c.Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
    connect(c.Option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
    connect(c.PushButton5, &QPushButton::clicked, this, [this] { runHandler([this] { PushButton5_Click(); }); });
    connect(c.PushButton6, &QPushButton::clicked, this, [this] { runHandler([this] { PushButton6_Click(); }); });

    for (QWidget* button : {c.PushButton1, c.PushButton3, c.PushButton4, c.PushButton5, c.PushButton6})
        SetPointerOnHover(button, pointer_, HoverPointer::Hand);
    QWidget* plain[] = {this, c.Frame1, c.Frame2, c.Frame3, c.Frame4, c.List1, c.Text3};
    for (QWidget* control : plain)
        SetPointerOnHover(control, pointer_, HoverPointer::Arrow);
    // The list's rows take its mouse moves; the list tells when to go back to the arrow.
    connect(c.ListView1, &FileListView::pointerToDefault, this, [this] { pointer_.hoverPlain(); });
}

EventPump& Form2::eventPump() { return lifetime_; }

void Form2::runHandler(const std::function<void()>& handler) { lifetime_.handle(handler); }

void Form2::setImportRunning(bool running)
{
    importRunning_ = running;
    controls_.ListView1->setFrozen(running);
}

void Form2::Form_Load()
{
    ReportingProcedure proc(dialogs_, Location::Form2Load);
    const Form2Controls& c = controls_;
    proc.step(100, [&] { UseButtonFaceColours(this); });
    proc.step(102, [&] { setWindowIcon(ApplicationIcon()); });
    proc.step(104, [&] { c.Text2->setText(QStringLiteral("NewTable[counter]")); });
    proc.step(106, [&] { c.Text3->setText(QStringLiteral(",")); });
    if (proc.test(110, [] { return HandPointerFileExists(); }))
        proc.step(112, [&] { LoadHandPointer(pointer_); });
    proc.step(114, [&] { setWindowTitle(kProductName); });
    proc.step(116, [&] { tableList_.clear(); });
    proc.step(118, [&] { ListTables(tableList_, parameters_, lifetime_); });
    proc.step(120, [&] { c.ListView1->addTextFilesColumn(); });
    proc.step(122, [&] { c.ListView1->setColumnWidth(0, Twips(5000)); });
}

void Form2::Option1_Click() { options_.Option1_Click(); }

void Form2::Option2_Click() { options_.Option2_Click(); }

void Form2::PushButton5_Click()
{
    // A run hidden behind the login window would go on unseen, and "Next >"
    // would reload this window's options under it.
    if (importRunning_)
        return;
    ReportingProcedure proc(dialogs_, Location::Form2Back);
    proc.step(100, [&] { flow_.showLoginWindow(); });
    proc.step(102, [&] { hide(); });
}

void Form2::PushButton6_Click()
{
    ReportingProcedure proc(dialogs_, Location::Form2FormatHelp);
    QString text;
    proc.step(100, [&] { text = FormatExplanationText(); });
    proc.step(102, [&] { ShowPlainMessage(dialogs_, text); });
}

void Form2::closeEvent(QCloseEvent* event)
{
    event->accept();
    lifetime_.endProgram();
}

}  // namespace quorvane
