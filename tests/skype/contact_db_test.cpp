// A contact's numbers from a real client database, and what a database that
// cannot be read gives.
#include "skype/contact_db.h"

#include <sqlite3.h>

#include <filesystem>

#include "app/log.h"
#include "platform/sim/memory_log_sink.h"
#include "test_support.h"

namespace vocastra {
namespace {

// The client's table, with the columns the lookup reads and a few it does not.
constexpr const char* kSchema =
    "create table Contacts (id integer primary key, is_permanent integer, type integer, "
    "isauthorized integer, skypename text, displayname text, fullname text, phone_home text, "
    "phone_office text, phone_mobile text, assigned_phone1 text, assigned_phone2 text, "
    "assigned_phone3 text, about text)";

class MainDb {
  public:
    explicit MainDb(const std::string& path) {
        EXPECT_EQ(sqlite3_open(path.c_str(), &m_db), SQLITE_OK);
        Exec(kSchema);
    }
    ~MainDb() { sqlite3_close(m_db); }
    void Exec(const std::string& sql) {
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK)
            << (err ? err : "") << " in " << sql;
        sqlite3_free(err);
    }
    // One contact row; values bound, so any text goes in as it is.
    void Add(const std::string& handle, const char* display, const char* home, const char* mobile,
             int permanent = 1, int authorized = 1) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(m_db,
                           "insert into Contacts (is_permanent, type, isauthorized, skypename, "
                           "displayname, phone_home, phone_mobile) values (?,1,?,?,?,?,?)",
                           -1, &st, nullptr);
        sqlite3_bind_int(st, 1, permanent);
        sqlite3_bind_int(st, 2, authorized);
        sqlite3_bind_text(st, 3, handle.c_str(), -1, SQLITE_TRANSIENT);
        auto text = [&](int i, const char* v) {
            v ? sqlite3_bind_text(st, i, v, -1, SQLITE_TRANSIENT) : sqlite3_bind_null(st, i);
        };
        text(4, display);
        text(5, home);
        text(6, mobile);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
    }
    sqlite3* db() { return m_db; }

  private:
    sqlite3* m_db = nullptr;
};

struct ContactDb : ::testing::Test {
    test::TempDir dir;
    std::string path = dir.File("main.db");
    MemoryLogSink log;
    ContactDb() { SetLogSink(&log); }
    ~ContactDb() override { SetLogSink(nullptr); }
    CContactDbInfo Lookup(const std::string& handle) {
        CContactDbInfo r;
        r.szHomePhone = "stale";  // what an earlier lookup left must not survive
        GetSkypeAccountInfoFromDB(handle, r, path);
        return r;
    }
};

TEST_F(ContactDb, ReadsTheNumbersOfAPermanentAuthorisedContactOnly) {
    MainDb db(path);
    db.Add("bob", "Bob Smith", "+4930111", "+49170222");
    db.Add("carol", "Carol", "+111", nullptr, /*permanent=*/0);
    db.Add("dave", "Dave", "+222", nullptr, 1, /*authorized=*/0);
    db.Add("erin", nullptr, nullptr, nullptr);  // NULL in every text column

    const CContactDbInfo bob = Lookup("bob");
    EXPECT_EQ(bob.szHandle, "bob");
    EXPECT_EQ(bob.szDisplayName, "Bob Smith");
    EXPECT_EQ(bob.szHomePhone, "+4930111");
    EXPECT_EQ(bob.szMobilePhone, "+49170222");
    EXPECT_TRUE(bob.HasPhone());
    EXPECT_TRUE(log.Contains("phone_home=[+4930111]"));

    for (const char* h : {"carol", "dave", "erin", "nobody"}) {
        const CContactDbInfo r = Lookup(h);
        EXPECT_EQ(r.szHandle, h);
        EXPECT_EQ(r.szDisplayName, h);
        EXPECT_FALSE(r.HasPhone()) << h;
    }
}

TEST_F(ContactDb, HostileHandlesAreOnlyEverData) {
    const std::string quote = "o'brien\"; drop table Contacts; --";
    const std::string percent = "100%_x";
    const std::string longHandle(300, 'h');
    {
        MainDb db(path);
        db.Add(quote, "Quote", "+1", nullptr);
        db.Add("100%ax", "Not a pattern match", "+2", nullptr);
        db.Add(longHandle, "Long", "+3", nullptr);
    }
    EXPECT_EQ(Lookup(quote).szDisplayName, "Quote");
    EXPECT_FALSE(Lookup(percent).HasPhone());
    // Found whole; the slot keeps what fits.
    const CContactDbInfo l = Lookup(longHandle);
    EXPECT_EQ(l.szDisplayName, "Long");
    EXPECT_EQ(l.szHandle, std::string(kContactDbSlotChars, 'h'));
    // The table is still there.
    EXPECT_EQ(Lookup(quote).szHomePhone, "+1");
}

TEST_F(ContactDb, LongTextsAreCutAtACharacterBoundary) {
    // 258 ASCII units, then a character of two UTF-16 units: it does not fit.
    const std::string name = std::string(258, 'n') + "\xF0\x9F\x98\x80" + "tail";
    const std::string number = std::string(257, '1') + "\xC3\xA9\xC3\xA9";
    {
        MainDb db(path);
        db.Add("bob", name.c_str(), number.c_str(), nullptr);
    }
    const CContactDbInfo r = Lookup("bob");
    EXPECT_EQ(r.szDisplayName, std::string(258, 'n'));
    EXPECT_EQ(r.szHomePhone, std::string(257, '1') + "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(CutUtf16Units("\xC3\xA9\xC3\xA9", 1), "\xC3\xA9");
    EXPECT_EQ(CutUtf16Units("a\xC3", 5), "a\xC3");  // a broken byte counts as one
}

TEST_F(ContactDb, AnUnreadableDatabaseGivesAnEmptyRecordAndOneLine) {
    auto expectEmpty = [&](const char* what, const std::string& line) {
        log.Clear();
        const CContactDbInfo r = Lookup("bob");
        EXPECT_EQ(r.szHandle, "") << what;
        EXPECT_EQ(r.szDisplayName, "") << what;
        EXPECT_FALSE(r.HasPhone()) << what;
        EXPECT_EQ(log.Lines().size(), 2u) << what;  // the lookup's own line and the reason
        EXPECT_TRUE(log.Contains(line)) << what;
    };
    expectEmpty("missing", "Can't open database:");
    EXPECT_FALSE(std::filesystem::exists(path)) << "a missing database was created";

    dir.Write("main.db", std::string(4096, 'x'));
    expectEmpty("not a database", "query account info error code: 26");

    std::filesystem::remove(path);
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "create table Other (a)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    expectEmpty("no contacts table", "query account info error code: 1");

    std::filesystem::remove(path);
    MainDb db(path);
    db.Add("bob", "Bob", "+1", nullptr);
    db.Exec("begin exclusive");
    db.Exec("update Contacts set displayname='B'");
    expectEmpty("locked", "query account info error code: 5");
    db.Exec("commit");
    EXPECT_EQ(Lookup("bob").szDisplayName, "B");
}

TEST_F(ContactDb, FindsOneContactAmongTenThousand) {
    MainDb db(path);
    db.Exec("begin");
    for (int i = 0; i < 10000; ++i)
        db.Add("user" + std::to_string(i), ("User " + std::to_string(i)).c_str(), nullptr,
               i == 7777 ? "+7777" : nullptr);
    db.Exec("commit");
    const CContactDbInfo r = Lookup("user7777");
    EXPECT_EQ(r.szDisplayName, "User 7777");
    EXPECT_EQ(r.szMobilePhone, "+7777");
}

}  // namespace
}  // namespace vocastra
