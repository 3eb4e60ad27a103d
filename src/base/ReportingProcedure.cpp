#include "base/ReportingProcedure.h"

#include "base/ErrorReport.h"

namespace quorvane {

QString DescribeFailure(const std::exception& failure)
{
    if (const auto* known = dynamic_cast<const Failure*>(&failure))
        return known->description();
    return QString::fromLocal8Bit(failure.what());
}

ReportingProcedure::ReportingProcedure(Dialogs& dialogs, QString location)
    : dialogs_(dialogs), location_(std::move(location))
{
}

bool ReportingProcedure::report(const QString& description, const QString& checkBoxText)
{
    return ShowErrorReport(dialogs_, description, location_, line_, checkBoxText);
}

}  // namespace quorvane
