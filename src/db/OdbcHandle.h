#pragma once

#include <sql.h>
#include <sqlext.h>

#include <utility>

namespace quorvane::odbc {

// Owns one ODBC handle and frees it on destruction.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE handle) : type_(type), handle_(handle) {}
    Handle(Handle&& other) noexcept
        : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other) {
            reset();
            type_ = other.type_;
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    void reset()
    {
        if (handle_ != SQL_NULL_HANDLE)
            SQLFreeHandle(type_, std::exchange(handle_, nullptr));
    }
    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// Throws OdbcError with every diagnostic record of the handle unless the
// return code is a success.
void Check(SQLRETURN rc, const Handle& handle, const char* action);
void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* action);
// Throws OdbcError with every diagnostic record of the handle, whatever the
// return code: for calls that report a failure beside a success code.
[[noreturn]] void Fail(SQLRETURN rc, const Handle& handle, const char* action);

}  // namespace quorvane::odbc
