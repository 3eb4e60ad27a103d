#pragma once

#include <QString>

namespace quorvane {

class Dialogs;

namespace SettingsKey {
inline const QString Server = QStringLiteral("Server");
inline const QString Port = QStringLiteral("Port");
inline const QString User = QStringLiteral("User");
inline const QString Password = QStringLiteral("Password");
inline const QString Database = QStringLiteral("Database");
inline const QString Extension = QStringLiteral("Extension");
inline const QString LastFolder = QStringLiteral("LastFolder");
// The import window's reading choices; absent: Automatic, not quoted.
inline const QString FileEncoding = QStringLiteral("FileEncoding");
inline const QString QuotedFields = QStringLiteral("QuotedFields");
// Rows in batches, one transaction each; absent: one INSERT per line.
inline const QString FastLoad = QStringLiteral("FastLoad");
// Created tables: "Text" (absent) every column LONG VARCHAR, or "Detected";
// and their names upper-cased ("true"; absent: as written).
inline const QString ColumnTypes = QStringLiteral("ColumnTypes");
inline const QString UpperCaseNames = QStringLiteral("UpperCaseNames");
// Append mode fills columns by the header's names; absent: by position.
inline const QString MatchColumnsByName = QStringLiteral("MatchColumnsByName");
}  // namespace SettingsKey

inline const QString kSettingsOrganization = QStringLiteral("Tamsorel");
inline const QString kSettingsSection = QStringLiteral("Quorvane");
inline const QString kDefaultPort = QStringLiteral("50069");

// The per-user store of the login fields and the folder-scan choices.
// Every save is written through at once, into a file only its owner may read
// (it holds the password).
class SettingsStore {
public:
    // dialogs, when given, hears once per run that the store cannot be written.
    explicit SettingsStore(Dialogs* dialogs = nullptr);

    // The stored text, or defaultValue when the key has never been written
    // (a stored empty text is a value and is returned as such).
    QString GetSetting(const QString& key, const QString& defaultValue = {}) const;
    bool contains(const QString& key) const;

    // Stores value and writes the file through. Returns false when it could
    // not be written; the caller goes on with what it has.
    bool SaveSetting(const QString& key, const QString& value);

    QString fileName() const;

    // Forget that the unwritable-store message was shown (for tests).
    static void resetWriteFailureNotice();

private:
    Dialogs* dialogs_;
};

QString SettingsWriteFailureMessage(const QString& fileName);

}  // namespace quorvane
