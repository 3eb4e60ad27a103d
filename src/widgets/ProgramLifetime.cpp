#include "widgets/ProgramLifetime.h"

#include <QApplication>

namespace quorvane {

void ProgramLifetime::processEvents()
{
    if (!ending_)
        QCoreApplication::processEvents();
    if (ending_)
        throw ProgramEnding{};
}

void ProgramLifetime::endProgram()
{
    if (ending_)
        return;
    ending_ = true;
    // Hidden windows stay closed anyway; the visible ones (a message box
    // included) close now, which also ends any modal loop waiting on them.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

}  // namespace quorvane
