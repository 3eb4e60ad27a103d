#include "db/ui/LoginWindow.h"

#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/Failure.h"
#include "base/Paths.h"
#include "base/ReportingProcedure.h"
#include "base/Settings.h"
#include "widgets/ApplicationIcon.h"
#include "widgets/ProgramLifetime.h"
#include "widgets/WindowFlow.h"
#include "widgets/WindowLook.h"
#include "db/CanConnect.h"
#include "db/Connection.h"
#include "help/LoginHelp.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include <optional>

namespace quorvane {

Form1::Form1(Dialogs& dialogs, SettingsStore& settings, ProgramLifetime& lifetime, WindowFlow& flow)
    : dialogs_(dialogs),
      settings_(settings),
      lifetime_(lifetime),
      flow_(flow),
      pointer_(this),
      controls_(BuildForm1Controls(this))
{
    setFont(LoginWindowFont());
    FixWindowSize(this, 8040, 3645, TitleBarBoxes::CloseAndMinimise);
    UseWhiteColours(this);
    connectHandlers();
}

void Form1::connectHandlers()
{
    const Form1Controls& c = controls_;
    storeOnChange(c.Text1, SettingsKey::Server);
    storeOnChange(c.Text2, SettingsKey::Port);
    storeOnChange(c.Text3, SettingsKey::User);
    storeOnChange(c.Text4, SettingsKey::Password);
    storeOnChange(c.Text5, SettingsKey::Database);

    auto handler = [this](void (Form1::*click)()) {
        return [this, click] { lifetime_.handle([this, click] { (this->*click)(); }); };
    };
    connect(c.PushButton2, &QPushButton::clicked, this, handler(&Form1::PushButton2_Click));
    connect(c.PushButton3, &QPushButton::clicked, this, handler(&Form1::PushButton3_Click));
    connect(c.PushButton5, &QPushButton::clicked, this, handler(&Form1::PushButton5_Click));

    for (QWidget* button : {c.PushButton2, c.PushButton3, c.PushButton5})
        SetPointerOnHover(button, pointer_, HoverPointer::Hand);
    for (QWidget* plain : {static_cast<QWidget*>(this), static_cast<QWidget*>(c.Frame1),
                           static_cast<QWidget*>(c.Text1), static_cast<QWidget*>(c.Text2),
                           static_cast<QWidget*>(c.Text3), static_cast<QWidget*>(c.Text4),
                           static_cast<QWidget*>(c.Text5)})
        SetPointerOnHover(plain, pointer_, HoverPointer::Arrow);
}

// Typed or set by the program, every change is stored at once, so the
// window always reopens with the last values.
void Form1::storeOnChange(QLineEdit* field, const QString& key)
{
    connect(field, &QLineEdit::textChanged, this,
            [this, key](const QString& text) { settings_.SaveSetting(key, text); });
}

void Form1::Form_Load()
{
    ReportingProcedure proc(dialogs_, Location::Form1Load);
    proc.step(100, [&] { ApplySkin(this, ProgramFile(kSkinFile)); });

    proc.step(106, [&] { setWindowTitle(kProductName); });
    proc.step(106, [&] { setWindowIcon(ApplicationIcon()); });
    proc.step(106, [&] { SetApplicationTitle(ComputeApplicationTitle(kProductName)); });

    if (proc.test(124, [] { return HandPointerFileExists(); }))
        proc.step(126, [&] { LoadHandPointer(pointer_); });

    const Form1Controls& c = controls_;
    proc.step(128, [&] { c.Text1->setText(settings_.GetSetting(SettingsKey::Server)); });
    proc.step(130, [&] { c.Text2->setText(settings_.GetSetting(SettingsKey::Port, kDefaultPort)); });
    proc.step(132, [&] { c.Text3->setText(settings_.GetSetting(SettingsKey::User)); });
    proc.step(134, [&] { c.Text4->setText(settings_.GetSetting(SettingsKey::Password)); });
    proc.step(136, [&] { c.Text5->setText(settings_.GetSetting(SettingsKey::Database)); });

    if (proc.test(138, [&] { return CanConnect(*this, &lifetime_); })) {
        proc.step(140, [&] { flow_.showImportWindow(); });
        proc.step(142, [&] {
            hide();
            hiddenByLoad_ = true;
        });
    }
}

ConnectionParameters Form1::currentParameters() const
{
    const Form1Controls& c = controls_;
    ConnectionParameters parameters;
    parameters.server = c.Text1->text();
    parameters.port = c.Text2->text();
    parameters.user = c.Text3->text();
    parameters.password = c.Text4->text();
    parameters.database = c.Text5->text();
    return parameters;
}

void Form1::PushButton2_Click()
{
    if (connecting_)
        return;
    const QScopedValueRollback<bool> connecting(connecting_, true);
    ReportingProcedure proc(dialogs_, Location::Form1TestConnection);
    std::optional<Connection> connection;
    proc.step(100, [&] { connection.emplace(); });
    proc.step(102, [&] { pointer_.setBusy(true); });

    // A failed open is the expected "no", not an unexpected failure: it is
    // kept pending and answered below.
    bool openFailed = false;
    proc.at(104);
    try {
        if (!connection)
            throw Failure(QStringLiteral("No connection object."));
        connection->open(BuildConnectionString(currentParameters()), &lifetime_);
    } catch (const std::exception&) {
        openFailed = true;
    }
    if (!openFailed) {
        proc.step(106, [&] { ShowPlainMessage(dialogs_, QStringLiteral("Connection successful.")); });
        proc.step(108, [&] { pointer_.setBusy(false); });
    }
    if (proc.test(110, [&] { return openFailed; })) {
        proc.step(112, [&] {
            ShowPlainMessage(dialogs_,
                             QStringLiteral("Could not connect. Please check with your administrator."));
        });
        proc.step(114, [&] { pointer_.setBusy(false); });
        proc.step(116, [&] { openFailed = false; });
    }
}

void Form1::PushButton3_Click()
{
    if (connecting_)
        return;
    const QScopedValueRollback<bool> connecting(connecting_, true);
    ReportingProcedure proc(dialogs_, Location::Form1Next);
    if (!proc.test(100, [&] { return CanConnect(*this, &lifetime_); }))
        return;  // silent: "Test Connection" is the way to learn why
    proc.step(102, [&] { flow_.showImportWindow(); });
    proc.step(104, [&] { hide(); });
    proc.step(106, [&] { flow_.reloadImportWindow(); });
}

void Form1::PushButton5_Click()
{
    ReportingProcedure proc(dialogs_, Location::Form1Help);
    QString text;
    proc.step(100, [&] { text = LoginHelpText(); });
    proc.step(124, [&] { ShowPlainMessage(dialogs_, text); });
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    lifetime_.endProgram();
}

}  // namespace quorvane
