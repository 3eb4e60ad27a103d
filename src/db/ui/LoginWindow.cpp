#include "db/ui/LoginWindow.h"

#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/Failure.h"
#include "base/Paths.h"
#include "base/ReportingProcedure.h"
#include "base/Settings.h"
#include "db/CanConnect.h"
#include "db/Connection.h"
#include "db/OpenFailure.h"
#include "db/ui/ConnectingWindow.h"
#include "help/LoginHelp.h"
#include "widgets/ApplicationIcon.h"
#include "widgets/ProgramLifetime.h"
#include "widgets/WindowFlow.h"
#include "widgets/WindowLook.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include <optional>

namespace quorvane {

namespace {

// The line numbers each procedure's error reports quote.
// load()
namespace LoadLine {
constexpr int Skin = 100, Title = 106, HandPointerExists = 124, HandPointer = 126, Server = 128,
              Port = 130, User = 132, Password = 134, Database = 136, CanConnect = 138,
              ShowImportWindow = 140, Hide = 142;
}  // namespace LoadLine

// onTestConnectionClicked()
namespace TestConnectionLine {
constexpr int CreateConnection = 100, PointerBusy = 102, Open = 104, SuccessMessage = 106,
              PointerAfterSuccess = 108, OpenFailed = 110, FailureMessage = 112,
              PointerAfterFailure = 114, ClearFailure = 116;
}  // namespace TestConnectionLine

// onNextClicked()
namespace NextLine {
constexpr int CanConnect = 100, ShowImportWindow = 102, Hide = 104, ReloadImportWindow = 106;
}  // namespace NextLine

// onHelpClicked()
namespace HelpLine {
constexpr int Text = 100, Message = 124;
}  // namespace HelpLine

}  // namespace

LoginWindow::LoginWindow(Dialogs& dialogs, SettingsStore& settings, ProgramLifetime& lifetime, WindowFlow& flow)
    : dialogs_(dialogs),
      settings_(settings),
      lifetime_(lifetime),
      flow_(flow),
      pointer_(this),
      controls_(BuildLoginWindowControls(this))
{
    setFont(LoginWindowFont());
    FixWindowSize(this, 8040, 3645, TitleBarBoxes::CloseAndMinimise);
    UseWhiteColours(this);
    connectHandlers();
}

void LoginWindow::connectHandlers()
{
    const LoginWindowControls& c = controls_;
    storeOnChange(c.serverEdit, SettingsKey::Server);
    storeOnChange(c.portEdit, SettingsKey::Port);
    storeOnChange(c.userEdit, SettingsKey::User);
    storeOnChange(c.passwordEdit, SettingsKey::Password);
    storeOnChange(c.databaseEdit, SettingsKey::Database);

    auto handler = [this](void (LoginWindow::*click)()) {
        return [this, click] { lifetime_.handle([this, click] { (this->*click)(); }); };
    };
    connect(c.testConnectionButton, &QPushButton::clicked, this, handler(&LoginWindow::onTestConnectionClicked));
    connect(c.nextButton, &QPushButton::clicked, this, handler(&LoginWindow::onNextClicked));
    connect(c.helpButton, &QPushButton::clicked, this, handler(&LoginWindow::onHelpClicked));

    for (QWidget* button : {c.testConnectionButton, c.nextButton, c.helpButton})
        SetPointerOnHover(button, pointer_, HoverPointer::Hand);
    for (QWidget* plain : {static_cast<QWidget*>(this), static_cast<QWidget*>(c.connectionFrame),
                           static_cast<QWidget*>(c.serverEdit), static_cast<QWidget*>(c.portEdit),
                           static_cast<QWidget*>(c.userEdit), static_cast<QWidget*>(c.passwordEdit),
                           static_cast<QWidget*>(c.databaseEdit)})
        SetPointerOnHover(plain, pointer_, HoverPointer::Arrow);
}

// Typed or set by the program, every change is stored at once, so the
// window always reopens with the last values.
void LoginWindow::storeOnChange(QLineEdit* field, const QString& key)
{
    connect(field, &QLineEdit::textChanged, this,
            [this, key](const QString& text) { settings_.SaveSetting(key, text); });
}

void LoginWindow::load()
{
    ReportingProcedure proc(dialogs_, Location::LoginWindowLoad);
    proc.step(LoadLine::Skin, [&] { ApplySkin(this, ProgramFile(kSkinFile)); });

    proc.step(LoadLine::Title, [&] { setWindowTitle(kProductName); });
    proc.step(LoadLine::Title, [&] { setWindowIcon(ApplicationIcon()); });
    proc.step(LoadLine::Title, [&] { SetApplicationTitle(ComputeApplicationTitle(kProductName)); });

    if (proc.test(LoadLine::HandPointerExists, [] { return HandPointerFileExists(); }))
        proc.step(LoadLine::HandPointer, [&] { LoadHandPointer(pointer_); });

    const LoginWindowControls& c = controls_;
    proc.step(LoadLine::Server, [&] { c.serverEdit->setText(settings_.GetSetting(SettingsKey::Server)); });
    proc.step(LoadLine::Port, [&] { c.portEdit->setText(settings_.GetSetting(SettingsKey::Port, kDefaultPort)); });
    proc.step(LoadLine::User, [&] { c.userEdit->setText(settings_.GetSetting(SettingsKey::User)); });
    proc.step(LoadLine::Password, [&] { c.passwordEdit->setText(settings_.GetSetting(SettingsKey::Password)); });
    proc.step(LoadLine::Database, [&] { c.databaseEdit->setText(settings_.GetSetting(SettingsKey::Database)); });

    // A check left waiting by a silent server shows what it waits for.
    const auto check = [&] {
        ConnectingWindow waiting(lifetime_, currentParameters());
        return CanConnect(*this, &waiting);
    };
    if (proc.test(LoadLine::CanConnect, check)) {
        proc.step(LoadLine::ShowImportWindow, [&] { flow_.showImportWindow(); });
        proc.step(LoadLine::Hide, [&] {
            hide();
            hiddenByLoad_ = true;
        });
    }
}

ConnectionParameters LoginWindow::currentParameters() const
{
    const LoginWindowControls& c = controls_;
    ConnectionParameters parameters;
    parameters.server = c.serverEdit->text();
    parameters.port = c.portEdit->text();
    parameters.user = c.userEdit->text();
    parameters.password = c.passwordEdit->text();
    parameters.database = c.databaseEdit->text();
    return parameters;
}

void LoginWindow::onTestConnectionClicked()
{
    if (connecting_)
        return;
    const QScopedValueRollback<bool> connecting(connecting_, true);
    ReportingProcedure proc(dialogs_, Location::LoginWindowTestConnection);
    std::optional<Connection> connection;
    proc.step(TestConnectionLine::CreateConnection, [&] { connection.emplace(); });
    proc.step(TestConnectionLine::PointerBusy, [&] { pointer_.setBusy(true); });

    // A failed open is the expected "no", not an unexpected failure: it is
    // kept pending and answered below.
    bool openFailed = false;
    QString failureReason;
    proc.at(TestConnectionLine::Open);
    const ConnectionParameters attempted = currentParameters();
    try {
        if (!connection)
            throw Failure(QStringLiteral("No connection object."));
        connection->open(BuildConnectionString(attempted), &lifetime_);
    } catch (const std::exception& failure) {
        openFailed = true;
        failureReason = DescribeOpenFailure(failure, attempted);
    }
    if (!openFailed) {
        proc.step(TestConnectionLine::SuccessMessage,
                  [&] { ShowPlainMessage(dialogs_, QStringLiteral("Connection successful.")); });
        proc.step(TestConnectionLine::PointerAfterSuccess, [&] { pointer_.setBusy(false); });
    }
    if (proc.test(TestConnectionLine::OpenFailed, [&] { return openFailed; })) {
        proc.step(TestConnectionLine::FailureMessage, [&] {
            // The driver's reason follows the message, after an empty line.
            ShowPlainMessage(dialogs_,
                             QStringLiteral("Could not connect. Please check with your administrator.")
                                 + QStringLiteral("\r\n\r\n") + failureReason);
        });
        proc.step(TestConnectionLine::PointerAfterFailure, [&] { pointer_.setBusy(false); });
        proc.step(TestConnectionLine::ClearFailure, [&] { openFailed = false; });
    }
}

void LoginWindow::onNextClicked()
{
    if (connecting_)
        return;
    const QScopedValueRollback<bool> connecting(connecting_, true);
    ReportingProcedure proc(dialogs_, Location::LoginWindowNext);
    if (!proc.test(NextLine::CanConnect, [&] { return CanConnect(*this, &lifetime_); }))
        return;  // silent: "Test Connection" is the way to learn why
    proc.step(NextLine::ShowImportWindow, [&] { flow_.showImportWindow(); });
    proc.step(NextLine::Hide, [&] { hide(); });
    proc.step(NextLine::ReloadImportWindow, [&] { flow_.reloadImportWindow(); });
}

void LoginWindow::onHelpClicked()
{
    ReportingProcedure proc(dialogs_, Location::LoginWindowHelp);
    QString text;
    proc.step(HelpLine::Text, [&] { text = LoginHelpText(); });
    proc.step(HelpLine::Message, [&] { ShowPlainMessage(dialogs_, text); });
}

void LoginWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    lifetime_.endProgram();
}

}  // namespace quorvane
