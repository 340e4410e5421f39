#include "logbook/cache.h"

#ifdef KRELBY_HAVE_SQLITE
#include <sqlite3.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/file.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"

namespace krelby {

namespace {

namespace fs = std::filesystem;
using WarnFn = std::function<void(const std::string&)>;
using Rows = LogbookCache::Rows;
using Added = LogbookCache::Added;

// Raised whenever the layout of the table changes; an older database of ours is then rebuilt.
// 4: a flight ends at the latest time reached; 5: copies' digests; 6: no distance for a flight
// without positions (was 0); 7: the engine analysis' figures
constexpr int kSchemaVersion = 7;
// Marks the database as this program's ("Krlb"): any other file of that name is left alone.
constexpr uint32_t kApplicationId = 0x4B726C62;
// How long a listing waits for another program that holds the database before it goes on without.
constexpr int kBusyTimeoutMs = 2000;

}  // namespace

#ifdef KRELBY_HAVE_SQLITE
std::string Quoted(std::string_view name) {
    std::string q(1, '"');
    q.append(name);
    q += '"';
    return q;
}

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

// The cache. A file of that name that is not ours is never opened for writing; ours, damaged,
// is set aside under another name; busy or failing, it is passed over. Any of these leaves
// `db_` null, says why once, and the listing goes on without it.
class LogbookCache::Impl {
public:
    Impl(const std::string& path, WarnFn warn) : path_(path), warn_(std::move(warn)) { Attach(); }
    ~Impl() { Close(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // The rows of `files`; the names of all of them are kept in a temporary table, so that
    // the rows of files that are gone (however many) never come into memory.
    Rows Load(const std::vector<FlightFile>& files) {
        Rows rows;
        if (!db_) return rows;
        int rc = Present(files);
        std::string sql = "SELECT f.path, device, inode, size, mtime, ctime, kinds, frames, fm_count, fm_digest, fm_opener";
        for (const auto& c : LogbookColumns()) sql += ", " + Quoted(c.name);
        sql += " FROM temp.present AS p JOIN flights AS f ON f.path = p.path";
        sqlite3_stmt* st = nullptr;
        if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
        while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
            FlightStamp stamp;
            const std::string path = Text(st, 0);
            stamp.file.id = {static_cast<uint64_t>(sqlite3_column_int64(st, 1)),
                             static_cast<uint64_t>(sqlite3_column_int64(st, 2))};
            stamp.file.size = static_cast<uint64_t>(sqlite3_column_int64(st, 3));
            stamp.file.mtime = sqlite3_column_int64(st, 4);
            stamp.file.ctime = sqlite3_column_int64(st, 5);
            stamp.file.regular = true;
            stamp.kinds = Text(st, 6);
            FlightSummary s;
            s.frames = sqlite3_column_int64(st, 7);
            s.flightMessages = sqlite3_column_int64(st, 8);
            s.messagesDigest = static_cast<uint64_t>(sqlite3_column_int64(st, 9));
            s.openerDigest = static_cast<uint64_t>(sqlite3_column_int64(st, 10));
            int i = 11;
            for (const auto& c : LogbookColumns()) {
                const bool null = sqlite3_column_type(st, i) == SQLITE_NULL;
                c.set(s, null ? std::nullopt : std::optional<double>(sqlite3_column_double(st, i)));
                ++i;
            }
            rows[path] = {stamp, s};
            rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
        if (rc == SQLITE_DONE) stale_ = Number("SELECT count(*) FROM flights") > static_cast<int64_t>(rows.size());
        else {
            rows.clear();
            Failed(rc);
        }
        return rows;
    }

    // Stores the new summaries and forgets the flights that are gone, in one transaction, and
    // gives the space back when more than half of the file is free.
    void Save(const Added& added) {
        if (!db_ || (added.empty() && !stale_)) return;
        int rc = Exec("BEGIN IMMEDIATE");
        if (rc != SQLITE_OK) return Failed(rc);
        std::string sql = "INSERT OR REPLACE INTO flights (path, device, inode, size, mtime, ctime, kinds, frames, "
                          "fm_count, fm_digest, fm_opener";
        std::string values = "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?";
        for (const auto& c : LogbookColumns()) {
            sql += ", " + Quoted(c.name);
            values += ", ?";
        }
        sql += ") VALUES (" + values + ")";
        sqlite3_stmt* insert = nullptr;
        rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &insert, nullptr);
        for (size_t k = 0; rc == SQLITE_OK && k < added.size(); ++k) {
            const FlightFile& f = *added[k].first;
            const FileStamp& stamp = f.stamp.file;
            sqlite3_bind_text(insert, 1, f.relative.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 2, static_cast<sqlite3_int64>(stamp.id.device));
            sqlite3_bind_int64(insert, 3, static_cast<sqlite3_int64>(stamp.id.inode));
            sqlite3_bind_int64(insert, 4, static_cast<sqlite3_int64>(stamp.size));
            sqlite3_bind_int64(insert, 5, stamp.mtime);
            sqlite3_bind_int64(insert, 6, stamp.ctime);
            sqlite3_bind_blob(insert, 7, f.stamp.kinds.data(), static_cast<int>(f.stamp.kinds.size()), SQLITE_TRANSIENT);
            const FlightSummary& summary = *added[k].second;
            sqlite3_bind_int64(insert, 8, summary.frames);
            sqlite3_bind_int64(insert, 9, summary.flightMessages);
            sqlite3_bind_int64(insert, 10, static_cast<sqlite3_int64>(summary.messagesDigest));
            sqlite3_bind_int64(insert, 11, static_cast<sqlite3_int64>(summary.openerDigest));
            int i = 12;
            for (const auto& c : LogbookColumns()) {
                const auto v = c.get(*added[k].second);
                if (v) sqlite3_bind_double(insert, i, *v);
                else sqlite3_bind_null(insert, i);
                ++i;
            }
            rc = sqlite3_step(insert);
            if (rc == SQLITE_DONE) rc = SQLITE_OK;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        if (rc == SQLITE_OK && stale_) rc = Exec("DELETE FROM flights WHERE path NOT IN (SELECT path FROM temp.present)");
        if (rc == SQLITE_OK) rc = Exec("COMMIT");
        if (rc != SQLITE_OK) return RolledBack(rc);
        if (stale_ && 2 * Number("PRAGMA freelist_count") > Number("PRAGMA page_count")) Exec("VACUUM");
    }

private:
    // The names of the files listed, in a table of this connection alone (in memory).
    int Present(const std::vector<FlightFile>& files) {
        int rc = Exec("PRAGMA temp_store = MEMORY");
        if (rc == SQLITE_OK) rc = Exec("CREATE TEMP TABLE IF NOT EXISTS present (path TEXT PRIMARY KEY)");
        if (rc == SQLITE_OK) rc = Exec("BEGIN");
        if (rc == SQLITE_OK) rc = Exec("DELETE FROM temp.present");
        sqlite3_stmt* insert = nullptr;
        if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db_, "INSERT INTO temp.present VALUES (?)", -1, &insert, nullptr);
        for (size_t k = 0; rc == SQLITE_OK && k < files.size(); ++k) {
            sqlite3_bind_text(insert, 1, files[k].relative.c_str(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(insert);
            if (rc == SQLITE_DONE) rc = SQLITE_OK;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        if (rc == SQLITE_OK) rc = Exec("COMMIT");
        if (rc != SQLITE_OK) RollBack();
        return rc;
    }

    // Opens the database if it is ours (or makes it when there is none), else says why not.
    void Attach() {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(PathOf(path_), ec);
        if (status.type() == fs::file_type::not_found) return Create();
        if (status.type() == fs::file_type::symlink)
            return Warn(path_ + " is a link to another file; the flights are listed without the logbook's database");
        if (ec || status.type() != fs::file_type::regular) return NotOurs();
        InputFile file;
        if (const int err = file.Open(path_)) return Warn(FileErrorText(err, path_) + "; the flights are listed without it");
        uint8_t header[100] = {};
        size_t got = 0;
        if (file.ReadSome(header, sizeof header, got) != 0) return NotOurs();
        file.Close();
        if (got == 0) return Create();  // made by a listing that was cut short
        static constexpr char kMagic[] = "SQLite format 3";  // with its '\0', the first 16 bytes
        if (got < sizeof header || std::memcmp(header, kMagic, sizeof kMagic) != 0) return NotOurs();
        const uint32_t id = BigEndian32(header + 68), version = BigEndian32(header + 60);
        if (id == kApplicationId || (id == 0 && version == 1 && IsFirstCache())) return OpenOurs();
        NotOurs();
    }

    // The first version of the cache carried no application id: one table of known columns.
    bool IsFirstCache() {
        sqlite3* db = nullptr;
        bool first = false;
        if (sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master", -1, &st, nullptr) == SQLITE_OK) {
                int tables = 0;  // the primary key's index has no SQL
                while (sqlite3_step(st) == SQLITE_ROW) {
                    const std::string sql = Text(st, 0);
                    if (sql.empty()) continue;
                    ++tables;
                    first = sql.rfind("CREATE TABLE flights (path TEXT PRIMARY KEY, size INTEGER, mtime INTEGER, kinds BLOB", 0) == 0;
                }
                first = first && tables == 1;
            }
            sqlite3_finalize(st);
        }
        sqlite3_close_v2(db);
        return first;
    }

    void Create() {
        int rc = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(db_, kBusyTimeoutMs);
            rc = MakeTable(false);
        }
        if (rc != SQLITE_OK) return Failed(rc);
        Exec("PRAGMA journal_mode=WAL");  // readers never wait for a writer
    }

    void OpenOurs() {
        int rc = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
        if (rc == SQLITE_OK) sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        sqlite3_stmt* st = nullptr;
        if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &st, nullptr);
        int version = -1;
        if (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
            version = sqlite3_column_int(st, 0);
            rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
        if (rc == SQLITE_OK && version != kSchemaVersion) {
            // An older layout of ours: made anew, marked as ours in the file itself.
            Exec("PRAGMA journal_mode=DELETE");
            rc = MakeTable(true);
            Exec("PRAGMA journal_mode=WAL");
        }
        if (rc != SQLITE_OK) Failed(rc);
    }

    // The table, marked as ours; `replace`: in place of an older layout's, else beside
    // another listing that may just have made it.
    int MakeTable(bool replace) {
        std::string create = "CREATE TABLE IF NOT EXISTS flights (path TEXT PRIMARY KEY, device INTEGER, inode INTEGER, size INTEGER, "
                             "mtime INTEGER, ctime INTEGER, kinds BLOB, frames INTEGER, fm_count INTEGER, "
                             "fm_digest INTEGER, fm_opener INTEGER";
        for (const auto& c : LogbookColumns()) create += ", " + Quoted(c.name) + " REAL";
        create += ")";
        int rc = Exec("BEGIN IMMEDIATE");
        for (const std::string& sql : {std::string(replace ? "DROP TABLE IF EXISTS flights" : "SELECT 1"), create,
                                       "PRAGMA application_id = " + std::to_string(kApplicationId),
                                       "PRAGMA user_version = " + std::to_string(kSchemaVersion), std::string("COMMIT")})
            if (rc == SQLITE_OK) rc = Exec(sql);
        if (rc != SQLITE_OK) RollBack();
        return rc;
    }

    // Ends a transaction that failed. SQLite may have rolled it back itself (a full disk
    // does): the error of the failure, not that of this rollback, is the one to tell.
    void RollBack() {
        failure_ = sqlite3_errmsg(db_);
        failureErrno_ = sqlite3_system_errno(db_);
        if (sqlite3_get_autocommit(db_) == 0) Exec("ROLLBACK");
    }
    void RolledBack(int rc) {
        RollBack();
        Failed(rc);
    }

    // A failed call: a damaged database of ours is set aside and made anew; any other failure
    // leaves the database as it is for this listing.
    void Failed(int rc) {
        const std::string why = !failure_.empty() ? failure_ : db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        const int systemErrno = !failure_.empty() ? failureErrno_ : db_ ? sqlite3_system_errno(db_) : 0;
        failure_.clear();
        Close();
        const int primary = rc & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            return Warn(path_ + " is in use by another program; the flights are listed without it");
        if (primary == SQLITE_FULL || (primary == SQLITE_IOERR && (systemErrno == ENOSPC || systemErrno == EDQUOT)))
            return Warn("The disk holding " + path_ + " is full, so it was not brought up to date; "
                        "the flights are listed all the same, and right");
        if ((primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB) || setAside_)
            return Warn(path_ + ": " + why + "; the flights are listed without it");
        setAside_ = true;
        std::string aside = path_ + ".damaged";
        for (int n = 2; Exists(aside); ++n) aside = path_ + ".damaged." + std::to_string(n);
        std::error_code ec;
        fs::rename(PathOf(path_), PathOf(aside), ec);
        if (ec) return Warn(path_ + " is damaged and could not be renamed; the flights are listed without it");
        for (const char* ext : {"-wal", "-shm"})
            if (Exists(path_ + ext)) fs::rename(PathOf(path_ + ext), PathOf(aside + ext), ec);
        Warn(path_ + " was damaged: kept as " + aside + " and made anew");
        Create();
    }

    void NotOurs() { Warn(path_ + " is not the logbook's database; the flights are listed without it"); }
    void Warn(const std::string& text) {
        if (warn_ && !warned_) warn_(text);
        warned_ = true;
    }
    void Close() {
        if (db_) sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    int Exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr); }
    int64_t Number(const char* sql) {
        sqlite3_stmt* st = nullptr;
        int64_t n = 0;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return n;
    }
    static std::string Text(sqlite3_stmt* st, int col) {
        const void* p = sqlite3_column_blob(st, col);
        return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(st, col))) : "";
    }

    std::string path_;
    WarnFn warn_;
    sqlite3* db_ = nullptr;
    bool warned_ = false, setAside_ = false;
    bool stale_ = false;  // rows of files that are gone
    std::string failure_;  // the error of a transaction rolled back, until it is told
    int failureErrno_ = 0;
};

#else
// Built without SQLite (the Windows cross build): the listing is always made afresh.
class LogbookCache::Impl {
public:
    Impl(const std::string&, WarnFn) {}
    Rows Load(const std::vector<FlightFile>&) { return {}; }
    void Save(const Added&) {}
};
#endif

LogbookCache::LogbookCache(const std::string& path, std::function<void(const std::string&)> warn)
    : impl_(std::make_unique<Impl>(path, std::move(warn))) {}
LogbookCache::~LogbookCache() = default;
LogbookCache::Rows LogbookCache::Load(const std::vector<FlightFile>& files) { return impl_->Load(files); }
void LogbookCache::Save(const Added& added) { impl_->Save(added); }

}  // namespace krelby
