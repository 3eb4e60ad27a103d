/* The floor an import cannot beat: one ODBC connection, then every line of a
 * statement file sent as it stands with SQLExecDirect, nothing else. The
 * connection string comes from the environment (it carries the password).
 *
 *   BARE_ODBC_CONNECTION='Driver={...};...' bare_insert_loop [--handle-each] STATEMENTS_FILE
 *
 * --handle-each allocates and frees a statement handle around every
 * statement, as the program's connection class does, to tell that cost apart
 * from the rest of an import's own work.
 *
 * Prints the statements sent, the failures and the seconds taken. */
#include <sql.h>
#include <sqlext.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now_seconds(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void print_diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    SQLCHAR state[6], text[1024];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;
         SQL_SUCCEEDED(SQLGetDiagRec(type, handle, record, state, &native, text, sizeof text, &length));
         ++record)
        fprintf(stderr, "  [%s] %d: %s\n", (const char*)state, (int)native, (const char*)text);
}

int main(int argc, char** argv)
{
    const char* connection_string = getenv("BARE_ODBC_CONNECTION");
    const int handle_each = argc == 3 && strcmp(argv[1], "--handle-each") == 0;
    if (argc != 2 + handle_each || !connection_string) {
        fprintf(stderr, "usage: BARE_ODBC_CONNECTION=... %s [--handle-each] STATEMENTS_FILE\n", argv[0]);
        return 2;
    }
    const char* path = argv[1 + handle_each];
    FILE* statements = fopen(path, "rb");
    if (!statements) {
        perror(path);
        return 2;
    }

    const double start = now_seconds();
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment);
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection);
    SQLRETURN rc = SQLDriverConnect(connection, NULL, (SQLCHAR*)connection_string, SQL_NTS, NULL, 0,
                                    NULL, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        fprintf(stderr, "connection failed:\n");
        print_diagnostics(SQL_HANDLE_DBC, connection);
        return 1;
    }
    if (!handle_each)
        SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement);

    long sent = 0, failed = 0;
    char* line = NULL;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, statements)) > 0) {
        while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
            --length;
        if (length == 0)
            continue;
        if (handle_each)
            SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement);
        rc = SQLExecDirect(statement, (SQLCHAR*)line, (SQLINTEGER)length);
        ++sent;
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            if (failed++ == 0) {
                fprintf(stderr, "statement %ld failed:\n", sent);
                print_diagnostics(SQL_HANDLE_STMT, statement);
            }
        }
        if (handle_each)
            SQLFreeHandle(SQL_HANDLE_STMT, statement);
        else
            SQLFreeStmt(statement, SQL_CLOSE);
    }
    free(line);
    fclose(statements);

    if (!handle_each)
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
    SQLDisconnect(connection);
    SQLFreeHandle(SQL_HANDLE_DBC, connection);
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    printf("sent %ld statements, %ld failed, %.3f s\n", sent, failed, now_seconds() - start);
    return failed ? 1 : 0;
}
