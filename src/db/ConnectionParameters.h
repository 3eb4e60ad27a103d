#pragma once

#include <QString>

namespace quorvane {

// The five login fields, used exactly as typed.
struct ConnectionParameters {
    QString server;
    QString port;
    QString database;
    QString user;
    QString password;
};

// Where the current parameters live (the login window's fields, or the
// command line): read afresh every time a connection opens.
class ConnectionParametersSource {
public:
    virtual ~ConnectionParametersSource() = default;
    virtual ConnectionParameters currentParameters() const = 0;
};

class FixedConnectionParameters final : public ConnectionParametersSource {
public:
    explicit FixedConnectionParameters(ConnectionParameters parameters)
        : parameters_(std::move(parameters)) {}
    ConnectionParameters currentParameters() const override { return parameters_; }

private:
    ConnectionParameters parameters_;
};

// The name under which the ODBC driver manager must know the DB2 driver.
inline const QString kDriverName = QStringLiteral("IBM DB2 ODBC DRIVER");

// "Driver={IBM DB2 ODBC DRIVER};Database=...;Hostname=...;Port=...;
// Protocol=TCPIP;Uid=...;Pwd=...;"
QString BuildConnectionString(const ConnectionParameters& parameters);

// A value holding ";" or "}", or starting with "{", is braced with each "}"
// doubled, so it can neither end early nor add keywords. Others go verbatim.
QString QuoteConnectionValue(const QString& value);

}  // namespace quorvane
