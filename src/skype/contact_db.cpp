#include "skype/contact_db.h"

#include <sqlite3.h>

#include <cstring>

#include "app/log.h"

namespace vocastra {

namespace {

// The client writes while it runs; a reader waits this long for its lock.
constexpr int kBusyTimeoutMs = 200;

constexpr const char* kQuery =
    "select Contacts.* from Contacts where is_permanent=1 and type=1 and isauthorized=1 and "
    "skypename=?1";

struct Closer {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    ~Closer() {
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
};

std::string Slot(const unsigned char* text, int bytes) {
    if (!text || bytes <= 0)
        return {};
    std::string s(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes));
    // Stored texts end at a NUL, as the client's own readers see them.
    if (const auto nul = s.find('\0'); nul != std::string::npos)
        s.resize(nul);
    return CutUtf16Units(s, kContactDbSlotChars);
}

}  // namespace

bool CContactDbInfo::HasPhone() const {
    return !szHomePhone.empty() || !szOfficePhone.empty() || !szMobilePhone.empty() ||
           !szAssignedPhone1.empty() || !szAssignedPhone2.empty() || !szAssignedPhone3.empty();
}

std::string CutUtf16Units(const std::string& s, std::size_t units) {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t len = 1;
        if (c >= 0xF0 && c <= 0xF4)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC2 && c < 0xE0)
            len = 2;
        if (i + len > s.size())
            len = 1;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                len = 1;
        // Four-byte sequences become a surrogate pair.
        const std::size_t need = len == 4 ? 2 : 1;
        if (used + need > units)
            break;
        used += need;
        i += len;
    }
    return s.substr(0, i);
}

void GetSkypeAccountInfoFromDB(const std::string& handle, CContactDbInfo& record,
                               const std::string& databasePath) {
    LogPrintA("GetSkypeAccountInfoFromDB [%s]", handle.c_str());
    record = CContactDbInfo{};
    // An empty name would make SQLite open a private temporary database.
    if (databasePath.empty() || databasePath == "main.db") {
        LogRaw("Can't open database: the client's profile folder is not known\n");
        return;
    }
    Closer c;
    // Read-only and never created: the database is the client's.
    const int open = sqlite3_open_v2(databasePath.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr);
    if (open != SQLITE_OK) {
        LogPrintA("Can't open database: %s\n", c.db ? sqlite3_errmsg(c.db) : sqlite3_errstr(open));
        return;
    }
    sqlite3_busy_timeout(c.db, kBusyTimeoutMs);
    // The handle is bound, never pasted into the query text.
    int rc = sqlite3_prepare_v2(c.db, kQuery, -1, &c.stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_bind_text(c.stmt, 1, handle.data(), static_cast<int>(handle.size()),
                               SQLITE_TRANSIENT);
    CContactDbInfo found;
    found.szHandle = CutUtf16Units(handle, kContactDbSlotChars);
    found.szDisplayName = found.szHandle;
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(c.stmt);
        if (rc != SQLITE_ROW)
            break;
        const int columns = sqlite3_column_count(c.stmt);
        for (int k = 0; k < columns; ++k) {
            if (sqlite3_column_type(c.stmt, k) == SQLITE_NULL)
                continue;
            const char* name = sqlite3_column_name(c.stmt, k);
            if (!name)
                continue;
            const unsigned char* text = sqlite3_column_text(c.stmt, k);
            const std::string value = Slot(text, sqlite3_column_bytes(c.stmt, k));
            std::string* slot = nullptr;
            bool traced = true;
            if (std::strcmp(name, "displayname") == 0) {
                slot = &found.szDisplayName;
                traced = false;
            } else if (std::strcmp(name, "phone_mobile") == 0) {
                slot = &found.szMobilePhone;
                traced = false;
            } else if (std::strcmp(name, "phone_home") == 0) {
                slot = &found.szHomePhone;
            } else if (std::strcmp(name, "phone_office") == 0) {
                slot = &found.szOfficePhone;
            } else if (std::strcmp(name, "assigned_phone1") == 0) {
                slot = &found.szAssignedPhone1;
            } else if (std::strcmp(name, "assigned_phone2") == 0) {
                slot = &found.szAssignedPhone2;
            } else if (std::strcmp(name, "assigned_phone3") == 0) {
                slot = &found.szAssignedPhone3;
            }
            if (!slot)
                continue;
            *slot = value;
            if (traced)
                LogPrintA("%s=[%s]\n", name, value.c_str());
        }
    }
    if (rc != SQLITE_DONE) {
        // Locked, damaged or without the table: no half-read record.
        LogPrintA("query account info error code: %d\nerror message: %s\n", rc,
                  sqlite3_errmsg(c.db));
        return;
    }
    record = std::move(found);
}

}  // namespace vocastra
