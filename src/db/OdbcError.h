#pragma once

#include "base/Failure.h"

namespace quorvane {

// A failed ODBC call: the driver's native number, the SQLSTATE of its first
// diagnostic record, and the message texts of all records.
class OdbcError : public Failure {
public:
    OdbcError(QString sqlState, int nativeError, const QString& message, QString firstRecord = {})
        : Failure(message),
          sqlState_(std::move(sqlState)),
          nativeError_(nativeError),
          firstRecord_(std::move(firstRecord)) {}

    const QString& sqlState() const { return sqlState_; }
    int nativeError() const { return nativeError_; }
    const QString& message() const { return description(); }
    // The message of the first diagnostic record alone: the driver's own
    // reason, without what later records add.
    const QString& firstRecord() const { return firstRecord_.isEmpty() ? description() : firstRecord_; }

    // SQLSTATE class 08: the connection is gone.
    bool isConnectionLost() const { return sqlState_.startsWith(QLatin1String("08")); }
    // The statement failed because the program cancelled it.
    bool isCancelled() const { return cancelled_; }
    void markCancelled() { cancelled_ = true; }

private:
    QString sqlState_;
    int nativeError_;
    QString firstRecord_;
    bool cancelled_ = false;
};

}  // namespace quorvane
