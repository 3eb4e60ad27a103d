#include "import/ui/ImportWindow.h"

#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/ReportingProcedure.h"
#include "db/TableCatalogue.h"
#include "filelist/ui/FileListView.h"
#include "help/FormatExplanation.h"
#include "import/ImportMessages.h"
#include "import/ui/PreviewWindow.h"
#include "widgets/ApplicationIcon.h"
#include "widgets/ProgramLifetime.h"
#include "widgets/Twips.h"
#include "widgets/WindowFlow.h"
#include "widgets/WindowLook.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

namespace quorvane {

namespace {

// The line numbers each procedure's error reports quote.
// load()
namespace LoadLine {
constexpr int Colours = 100, Icon = 102, TableName = 104, Separator = 106, HandPointerExists = 110,
              HandPointer = 112, Title = 114, ClearTables = 116, ListTables = 118,
              FilesColumn = 120, FilesColumnWidth = 122;
}  // namespace LoadLine

// onBackClicked()
namespace BackLine {
constexpr int ShowLoginWindow = 100, Hide = 102;
}  // namespace BackLine

// onSeparatorHelpClicked()
namespace SeparatorHelpLine {
constexpr int Text = 100, Message = 102;
}  // namespace SeparatorHelpLine

}  // namespace

ImportWindow::ImportWindow(Dialogs& dialogs, ProgramLifetime& lifetime, ConnectionParametersSource& parameters,
             WindowFlow& flow)
    : dialogs_(dialogs),
      lifetime_(lifetime),
      parameters_(parameters),
      flow_(flow),
      pointer_(this),
      controls_(BuildImportWindowControls(this, pointer_)),
      tableList_(controls_.tableList),
      options_(controls_)
{
    setFont(FieldFont());
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setFont(ButtonFont());
    FixWindowSize(this, kImportWindowWidthTwips, kImportWindowHeightTwips, TitleBarBoxes::CloseAndMinimise);
    UseWhiteColours(this);
    connectHandlers();
}

void ImportWindow::connectHandlers()
{
    const ImportWindowControls& c = controls_;
    connect(c.createTableOption, &QRadioButton::clicked, this, [this] { onCreateTableClicked(); });
    connect(c.appendOption, &QRadioButton::clicked, this, [this] { onAppendClicked(); });
    connect(c.backButton, &QPushButton::clicked, this, [this] { runHandler([this] { onBackClicked(); }); });
    connect(c.separatorHelpButton, &QPushButton::clicked, this, [this] { runHandler([this] { onSeparatorHelpClicked(); }); });
    connect(c.previewButton, &QPushButton::clicked, this, [this] { runHandler([this] { onPreviewClicked(); }); });
    // Connected before the run's own handler: the preview goes as the run starts.
    connect(c.importButton, &QPushButton::clicked, this, [this] {
        if (preview_)
            preview_->close();
    });

    // One action: F5 anywhere in the window, and the list's context menu.
    auto* refresh = new QAction(QStringLiteral("Refresh"), this);
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    addAction(refresh);
    c.tableList->addAction(refresh);
    c.tableList->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(refresh, &QAction::triggered, this, [this] { runHandler([this] { onRefreshTables(); }); });

    for (QWidget* button : {c.importButton, c.addFilesButton, c.addFolderButton, c.backButton, c.separatorHelpButton,
                            c.previewButton})
        SetPointerOnHover(button, pointer_, HoverPointer::Hand);
    QWidget* plain[] = {this, c.separatorFrame, c.tableOptionsFrame, c.createOptionsFrame, c.appendOptionsFrame, c.tableList, c.separatorEdit, c.readingStrip};
    for (QWidget* control : plain)
        SetPointerOnHover(control, pointer_, HoverPointer::Arrow);
    // The list's rows take its mouse moves; the list tells when to go back to the arrow.
    connect(c.fileList, &FileListView::pointerToDefault, this, [this] { pointer_.hoverPlain(); });
}

EventPump& ImportWindow::eventPump() { return lifetime_; }

void ImportWindow::runHandler(const std::function<void()>& handler) { lifetime_.handle(handler); }

void ImportWindow::setImportRunning(bool running)
{
    importRunning_ = running;
    controls_.fileList->setFrozen(running);
    // The run took its choices at the press: changing them now would do
    // nothing, so they cannot be changed until it ends. A control disabled
    // for its own reason stays so.
    QWidget* const choices[] = {controls_.separatorEdit, controls_.tableOptionsFrame, controls_.readingStrip};
    for (QWidget* control : choices)
        control->setEnabled(!running);
}

void ImportWindow::load()
{
    ReportingProcedure proc(dialogs_, Location::ImportWindowLoad);
    const ImportWindowControls& c = controls_;
    proc.step(LoadLine::Colours, [&] { UseButtonFaceColours(this); });
    proc.step(LoadLine::Icon, [&] { setWindowIcon(ApplicationIcon()); });
    proc.step(LoadLine::TableName, [&] { c.tableNameEdit->setText(QStringLiteral("NewTable[counter]")); });
    proc.step(LoadLine::Separator, [&] { c.separatorEdit->setText(QStringLiteral(",")); });
    if (proc.test(LoadLine::HandPointerExists, [] { return HandPointerFileExists(); }))
        proc.step(LoadLine::HandPointer, [&] { LoadHandPointer(pointer_); });
    proc.step(LoadLine::Title, [&] { setWindowTitle(kProductName); });
    proc.step(LoadLine::ClearTables, [&] { tableList_.clear(); });
    proc.step(LoadLine::ListTables, [&] { ListTables(tableList_, parameters_, lifetime_); });
    proc.step(LoadLine::FilesColumn, [&] { c.fileList->addTextFilesColumn(); });
    proc.step(LoadLine::FilesColumnWidth, [&] { c.fileList->setColumnWidth(0, Twips(5000)); });
}

void ImportWindow::onCreateTableClicked() { options_.onCreateTableClicked(); }

void ImportWindow::onAppendClicked() { options_.onAppendClicked(); }

void ImportWindow::onBackClicked()
{
    // A run hidden behind the login window would go on unseen, and "Next >"
    // would reload this window's options under it.
    if (importRunning_)
        return;
    ReportingProcedure proc(dialogs_, Location::ImportWindowBack);
    proc.step(BackLine::ShowLoginWindow, [&] { flow_.showLoginWindow(); });
    proc.step(BackLine::Hide, [&] { hide(); });
}

void ImportWindow::onSeparatorHelpClicked()
{
    ReportingProcedure proc(dialogs_, Location::ImportWindowSeparatorHelp);
    QString text;
    proc.step(SeparatorHelpLine::Text, [&] { text = FormatExplanationText(); });
    proc.step(SeparatorHelpLine::Message, [&] { ShowPlainMessage(dialogs_, text); });
}

void ImportWindow::onPreviewClicked()
{
    FileListView* files = controls_.fileList;
    if (files->count() == 0) {
        ShowPlainMessage(dialogs_, ImportMessage::NoFiles);
        return;
    }
    const QList<QTreeWidgetItem*> selected = files->selectedItems();
    const int position = selected.isEmpty() ? 1 : files->indexOfTopLevelItem(selected.first()) + 1;
    if (preview_)
        preview_->close();  // one at a time: its check stops with it
    preview_ = new PreviewWindow(*this, files->path(position), position);
    preview_->show();
    preview_->raise();
}

PreviewWindow* ImportWindow::preview() const { return preview_; }

void ImportWindow::onRefreshTables()
{
    if (importRunning_ || refreshing_)
        return;
    refreshing_ = true;
    const auto done = qScopeGuard([this] { refreshing_ = false; });
    const std::optional<QString> selected = tableList_.selectedItem();
    // Reported as the same step of load() is: a failure leaves the list as it was.
    ReportingProcedure proc(dialogs_, Location::ImportWindowLoad);
    if (!proc.step(LoadLine::ListTables, [&] { ListTables(tableList_, parameters_, lifetime_); }) || !selected)
        return;
    const QList<QListWidgetItem*> same = controls_.tableList->findItems(*selected, Qt::MatchExactly);
    if (!same.isEmpty())
        controls_.tableList->setCurrentItem(same.first());
}

void ImportWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    lifetime_.endProgram();
}

}  // namespace quorvane
