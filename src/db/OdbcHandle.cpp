#include "db/OdbcHandle.h"

#include "db/OdbcError.h"

#include <QStringList>

namespace quorvane::odbc {

void Check(SQLRETURN rc, const Handle& handle, const char* action)
{
    Check(rc, handle.type(), handle.get(), action);
}

namespace {

[[noreturn]] void Throw(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* action)
{
    QString firstState;
    int firstNative = 0;
    QStringList messages;
    if (handle != SQL_NULL_HANDLE && rc != SQL_INVALID_HANDLE) {
        for (SQLSMALLINT record = 1;; ++record) {
            SQLCHAR state[6] = {};
            SQLINTEGER native = 0;
            SQLCHAR text[SQL_MAX_MESSAGE_LENGTH * 4] = {};
            SQLSMALLINT length = 0;
            const SQLRETURN diag = SQLGetDiagRec(type, handle, record, state, &native, text,
                                                 static_cast<SQLSMALLINT>(sizeof text), &length);
            if (!SQL_SUCCEEDED(diag))
                break;
            if (record == 1) {
                firstState = QString::fromLatin1(reinterpret_cast<const char*>(state), 5);
                firstNative = static_cast<int>(native);
            }
            messages << QString::fromUtf8(reinterpret_cast<const char*>(text));
        }
    }
    if (messages.isEmpty())
        messages << QStringLiteral("ODBC call failed while trying to %1 (return code %2).")
                        .arg(QLatin1String(action))
                        .arg(rc);
    throw OdbcError(firstState, firstNative, messages.join(QLatin1Char('\n')), messages.first());
}

}  // namespace

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* action)
{
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return;
    Throw(rc, type, handle, action);
}

void Fail(SQLRETURN rc, const Handle& handle, const char* action)
{
    Throw(rc, handle.type(), handle.get(), action);
}

}  // namespace quorvane::odbc
