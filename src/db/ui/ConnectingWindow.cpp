#include "db/ui/ConnectingWindow.h"

#include "base/ApplicationTitle.h"
#include "base/Failure.h"
#include "widgets/ApplicationIcon.h"
#include "widgets/WindowLook.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvane {

namespace {

// Ends the open that is waiting: it is given up on as a timed-out one is.
class ConnectingCancelled final : public Failure {
public:
    ConnectingCancelled() : Failure(QStringLiteral("The connection attempt was cancelled.")) {}
};

}  // namespace

ConnectingWindow::ConnectingWindow(EventPump& events, const ConnectionParameters& target)
    : events_(events), text_(Text(target))
{
    waited_.start();
}

ConnectingWindow::~ConnectingWindow() = default;

QString ConnectingWindow::Text(const ConnectionParameters& target)
{
    return QStringLiteral("Connecting to %1, port %2 ...").arg(target.server, target.port);
}

void ConnectingWindow::processEvents()
{
    if (!window_ && !cancelled_ && waited_.elapsed() >= kConnectingWindowDelay.count())
        show();
    events_.processEvents();
    if (cancelled_)
        throw ConnectingCancelled();
}

void ConnectingWindow::show()
{
    window_ = std::make_unique<QDialog>();
    QDialog& window = *window_;
    window.setWindowTitle(ApplicationTitle().isEmpty() ? kProductName : ApplicationTitle());
    window.setWindowIcon(ApplicationIcon());
    window.setFont(FieldFont());
    window.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(&window);
    auto* text = new QLabel(text_, &window);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    auto* busy = new QProgressBar(&window);
    busy->setRange(0, 0);  // no end known: the bar runs to and fro
    busy->setTextVisible(false);
    busy->setAccessibleName(text->text());
    layout->addWidget(busy);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &window);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    layout->addWidget(buttons);
    // Cancel, Escape and the close box all reject.
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    QObject::connect(&window, &QDialog::rejected, &window, [this] { cancelled_ = true; });
    layout->setSizeConstraint(QLayout::SetFixedSize);

    window.adjustSize();
    CentreOnScreen(&window);
    window.show();
}

}  // namespace quorvane
