#pragma once

#include <QString>

#include <exception>

namespace quorvane {

struct ConnectionParameters;

// Why a connection did not open, as the driver put it: the message of its
// first diagnostic record followed by its SQLSTATE in brackets. When the
// driver manager could not find or load the driver, a second line names the
// driver looked for and the files searched. The attempt's password never
// appears in the text, whatever the driver echoed.
QString DescribeOpenFailure(const std::exception& failure, const ConnectionParameters& attempted);

}  // namespace quorvane
