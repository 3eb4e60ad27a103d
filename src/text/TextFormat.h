#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// How the lines of a source file are read.
struct TextFormat {
    QString separator = QStringLiteral(",");
    // A name the system's converter knows, or empty for Automatic: a
    // byte-order mark decides; otherwise UTF-8 when the whole file is valid
    // UTF-8, else Windows-1252.
    QString encoding;
    // A field that starts with a double quote ends at the matching one; the
    // separator and line breaks inside it are data, "" is one quote.
    bool quotedFields = false;
};

namespace FileEncoding {
inline const QString Automatic = QStringLiteral("Automatic");
inline const QString Utf8 = QStringLiteral("UTF-8");
inline const QString Utf16 = QStringLiteral("UTF-16");
inline const QString Windows1252 = QStringLiteral("Windows-1252");
inline const QString Latin1 = QStringLiteral("ISO-8859-1");
inline const QString Latin9 = QStringLiteral("ISO-8859-15");

// The choices the import window offers, Automatic first.
inline QStringList WindowChoices() { return {Automatic, Utf8, Utf16, Windows1252, Latin1, Latin9}; }

// The encoding a stored or typed name stands for: empty for Automatic.
inline QString FromName(const QString& name)
{
    return name.compare(Automatic, Qt::CaseInsensitive) == 0 ? QString() : name;
}
}  // namespace FileEncoding

}  // namespace quorvane
