#pragma once

#include <QString>

namespace quorvane::cli {

// Shown by --help; the manual page quorvane-cli.1 beside this file says the
// same, and a test keeps the two in step.
inline const QString kHelpText = QStringLiteral(
    "Usage: quorvane-cli [OPTION]... FILE|FOLDER...\n"
    "Load delimited text files into IBM DB2 tables, as the Quorvane window does.\n"
    "\n"
    "Files are imported in the order given. A folder adds every file of its\n"
    "whole tree (names starting with \"~\" and hidden files left out), or only\n"
    "the files matching --extension.\n"
    "\n"
    "Connection (defaults: the login fields saved by the Quorvane window):\n"
    "  --server HOST            database server\n"
    "  --port PORT              TCP port\n"
    "  --database NAME          database name\n"
    "  --user NAME              user name\n"
    "  --password-file FILE     read the password from the first line of FILE;\n"
    "                           or set QUORVANE_PASSWORD. Passwords are never\n"
    "                           taken as arguments: other users can read those.\n"
    "\n"
    "Import:\n"
    "  --create PATTERN         create one table per file, columns from the\n"
    "                           first line; [counter] becomes the file's\n"
    "                           position (default NewTable[counter])\n"
    "  --append TABLE           append every file to TABLE, which must exist\n"
    "  --separator TEXT         field separator of one or more characters\n"
    "                           (default \",\"); \\t, \\n and \\\\ are understood\n"
    "  --extension EXT          in folders, take only files named *.EXT\n"
    "                           (* for all files)\n"
    "  --encoding NAME          read the files in NAME, any encoding that iconv\n"
    "                           knows (default Automatic: a byte-order mark\n"
    "                           decides, else UTF-8 when the whole file is\n"
    "                           valid UTF-8, else Windows-1252)\n"
    "  --quoted                 fields may be enclosed in double quotes, which\n"
    "                           may hold the separator and line breaks; \"\"\n"
    "                           inside is one quote\n"
    "  --fast                   fast load: send the rows in batches, each batch\n"
    "                           one transaction, instead of one committed\n"
    "                           INSERT per line\n"
    "  --batch-size N           rows per batch with --fast (default 1000)\n"
    "  --rejects DIR            write every data line that is not loaded, as\n"
    "                           read, to DIR: one file per source file (its\n"
    "                           header line first) and a .log beside it with\n"
    "                           each line's number and the database's message\n"
    "  --print-sql              print every statement that would be sent, one\n"
    "                           per line, and connect to nothing\n"
    "  --help                   show this text\n"
    "  --version                show the version number\n"
    "\n"
    "Messages and error reports go to standard error. Progress is shown there\n"
    "when it is a terminal. Ctrl+C stops the run after the statement in\n"
    "progress.\n"
    "\n"
    "Exit status: 0 everything loaded (or skipped as existing), 1 the run\n"
    "finished with failures, skipped a line of a single field, or was\n"
    "stopped, 2 bad arguments or a refusal before any file.\n");

}  // namespace quorvane::cli
