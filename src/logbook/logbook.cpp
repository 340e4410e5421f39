#include "logbook/logbook.h"

#ifdef KRELBY_HAVE_SQLITE
#include <sqlite3.h>
#endif

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "base/error.h"
#include "base/file.h"
#include "logbook/columns.h"

namespace krelby {
namespace {

namespace fs = std::filesystem;

// Raised whenever the layout of the table changes; an older database is then rebuilt.
constexpr int kSchemaVersion = 1;

struct Stamp {
    int64_t size = -1, mtime = 0;
    std::string kinds;
    bool operator==(const Stamp&) const = default;
};

struct FlightFile {
    std::string relative, path;
    Stamp stamp;
};

std::string KindsKey(const ThermocoupleKinds& kinds) { return std::string(kinds.begin(), kinds.end()); }

bool IsFlightFileName(const std::string& name) {
    if (name.size() < 5 || name[0] == '.') return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext == ".FLT";
}

std::vector<FlightFile> FindFlightFiles(const std::string& folder, const std::string& kinds) {
    std::vector<FlightFile> out;
    for (const char* sub : {"Flights_INT", "Flights_SD"}) {
        std::error_code ec;
        for (fs::directory_iterator it(PathOf(folder + sub), ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = TextOf(it->path().filename());
            std::error_code e;
            if (!IsFlightFileName(name) || !it->is_regular_file(e)) continue;
            FlightFile f{std::string(sub) + "/" + name, TextOf(it->path()), {}};
            f.stamp.size = static_cast<int64_t>(it->file_size(e));
            f.stamp.mtime = static_cast<int64_t>(it->last_write_time(e).time_since_epoch().count());
            f.stamp.kinds = kinds;
            out.push_back(std::move(f));
        }
    }
    std::sort(out.begin(), out.end(), [](const FlightFile& a, const FlightFile& b) { return a.relative < b.relative; });
    return out;
}

#ifdef KRELBY_HAVE_SQLITE
std::string Quoted(std::string_view name) {
    std::string q(1, '"');
    q.append(name);
    q += '"';
    return q;
}

// The cache. Every failure leaves it unusable (`db_` null) and the listing goes on without.
class Database {
public:
    explicit Database(const std::string& path) : path_(path) {
        if (Open()) return;
        // Not a database, or a damaged one: it is only a cache, so it is made anew.
        Close();
        for (const char* ext : {"", "-wal", "-shm", "-journal"}) {
            std::error_code ec;
            fs::remove(PathOf(path_ + ext), ec);
        }
        if (!Open()) Close();
    }
    ~Database() { Close(); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::map<std::string, std::pair<Stamp, FlightSummary>> Load() {
        std::map<std::string, std::pair<Stamp, FlightSummary>> rows;
        if (!db_) return rows;
        std::string sql = "SELECT path, size, mtime, kinds";
        for (const auto& c : LogbookColumns()) sql += ", " + Quoted(c.name);
        sql += " FROM flights";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            Stamp stamp;
            const std::string path = Text(st, 0);
            stamp.size = sqlite3_column_int64(st, 1);
            stamp.mtime = sqlite3_column_int64(st, 2);
            stamp.kinds = Text(st, 3);
            FlightSummary s;
            int i = 4;
            for (const auto& c : LogbookColumns()) {
                const bool null = sqlite3_column_type(st, i) == SQLITE_NULL;
                c.set(s, null ? std::nullopt : std::optional<double>(sqlite3_column_double(st, i)));
                ++i;
            }
            rows[path] = {stamp, s};
        }
        sqlite3_finalize(st);
        return rows;
    }

    // Stores the new summaries and forgets the flights that are gone, in one transaction. A
    // database that another program holds is passed over: the next listing stores them.
    void Save(const std::vector<std::pair<const FlightFile*, const FlightSummary*>>& added,
              const std::vector<std::string>& gone) {
        if (!db_ || (added.empty() && gone.empty())) return;
        if (!Exec("BEGIN IMMEDIATE")) return;
        std::string sql = "INSERT OR REPLACE INTO flights (path, size, mtime, kinds";
        std::string values = "?, ?, ?, ?";
        for (const auto& c : LogbookColumns()) {
            sql += ", " + Quoted(c.name);
            values += ", ?";
        }
        sql += ") VALUES (" + values + ")";
        sqlite3_stmt* insert = nullptr;
        sqlite3_stmt* remove = nullptr;
        bool ok = sqlite3_prepare_v2(db_, sql.c_str(), -1, &insert, nullptr) == SQLITE_OK &&
                  sqlite3_prepare_v2(db_, "DELETE FROM flights WHERE path = ?", -1, &remove, nullptr) == SQLITE_OK;
        for (size_t k = 0; ok && k < added.size(); ++k) {
            const FlightFile& f = *added[k].first;
            sqlite3_bind_text(insert, 1, f.relative.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 2, f.stamp.size);
            sqlite3_bind_int64(insert, 3, f.stamp.mtime);
            sqlite3_bind_blob(insert, 4, f.stamp.kinds.data(), static_cast<int>(f.stamp.kinds.size()), SQLITE_TRANSIENT);
            int i = 5;
            for (const auto& c : LogbookColumns()) {
                const auto v = c.get(*added[k].second);
                if (v) sqlite3_bind_double(insert, i, *v);
                else sqlite3_bind_null(insert, i);
                ++i;
            }
            ok = sqlite3_step(insert) == SQLITE_DONE;
            sqlite3_reset(insert);
        }
        for (size_t k = 0; ok && k < gone.size(); ++k) {
            sqlite3_bind_text(remove, 1, gone[k].c_str(), -1, SQLITE_TRANSIENT);
            ok = sqlite3_step(remove) == SQLITE_DONE;
            sqlite3_reset(remove);
        }
        sqlite3_finalize(insert);
        sqlite3_finalize(remove);
        Exec(ok ? "COMMIT" : "ROLLBACK");
    }

private:
    bool Open() {
        if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            return false;
        sqlite3_busy_timeout(db_, 5000);  // another program listing at the same moment
        Exec("PRAGMA journal_mode=WAL");   // readers never wait for a writer
        int version = -1;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &st, nullptr) != SQLITE_OK) return false;
        if (sqlite3_step(st) == SQLITE_ROW) version = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        if (version < 0) return false;
        if (version == kSchemaVersion) return Exec("SELECT count(*) FROM flights");
        std::string create = "CREATE TABLE flights (path TEXT PRIMARY KEY, size INTEGER, mtime INTEGER, kinds BLOB";
        for (const auto& c : LogbookColumns()) create += ", " + Quoted(c.name) + " REAL";
        create += ")";
        return Exec("BEGIN IMMEDIATE") && Exec("DROP TABLE IF EXISTS flights") && Exec(create) &&
               Exec("PRAGMA user_version = " + std::to_string(kSchemaVersion)) && Exec("COMMIT");
    }
    void Close() {
        if (db_) sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    bool Exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }
    static std::string Text(sqlite3_stmt* st, int col) {
        const void* p = sqlite3_column_blob(st, col);
        return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(st, col))) : "";
    }

    std::string path_;
    sqlite3* db_ = nullptr;
};

#else
// Built without SQLite (the Windows cross build): the listing is always made afresh.
class Database {
public:
    explicit Database(const std::string&) {}
    std::map<std::string, std::pair<Stamp, FlightSummary>> Load() { return {}; }
    void Save(const std::vector<std::pair<const FlightFile*, const FlightSummary*>>&, const std::vector<std::string>&) {}
};
#endif

bool Before(const LogbookEntry& a, const LogbookEntry& b) {
    const auto& x = a.summary.start;
    const auto& y = b.summary.start;
    if (x.has_value() != y.has_value()) return x.has_value();
    if (x && *x != *y) return *x < *y;
    return a.file < b.file;
}

}  // namespace

std::vector<LogbookEntry> ListFlights(const std::string& programFolder, const ThermocoupleKinds& kinds,
                                      const LogbookOptions& options) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::vector<FlightFile> files = FindFlightFiles(folder, KindsKey(kinds));
    Database db(folder + kLogbookDatabase);
    auto cached = db.Load();

    // The summaries still to make are made by a few workers, one file each at a time; the
    // entries are handed on in the order of the files all the same.
    struct Slot {
        LogbookEntry entry;
        std::string error;
        bool cachedHit = false;
        bool done = false;
    };
    std::vector<Slot> slots(files.size());
    std::vector<size_t> toMake;
    for (size_t i = 0; i < files.size(); ++i) {
        slots[i].entry = {files[i].relative, {}, true};
        auto it = cached.find(files[i].relative);
        if (it != cached.end() && it->second.first == files[i].stamp) {
            slots[i].entry.summary = it->second.second;
            slots[i].cachedHit = slots[i].done = true;
        } else {
            toMake.push_back(i);
        }
    }
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};
    auto work = [&] {
        for (size_t k; !stop && (k = next++) < toMake.size();) {
            Slot& slot = slots[toMake[k]];
            LogbookEntry e = slot.entry;
            std::string error;
            try {
                e.summary = SummarizeFlight(files[toMake[k]].path, kinds);
            } catch (const Error& err) {
                e.readable = false;
                error = err.what();
            }
            std::lock_guard lock(mutex);
            slot.entry = std::move(e);
            slot.error = std::move(error);
            slot.done = true;
            ready.notify_all();
        }
    };
    const size_t workers = std::min<size_t>(toMake.size(), std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w) threads.emplace_back(work);

    std::vector<LogbookEntry> entries;
    entries.reserve(files.size());
    std::vector<size_t> computed;  // indices into files and entries
    for (size_t i = 0; i < files.size(); ++i) {
        if (options.cancelled && options.cancelled()) break;
        {
            std::unique_lock lock(mutex);
            ready.wait(lock, [&] { return slots[i].done; });
        }
        if (!slots[i].entry.readable && options.warn) options.warn(slots[i].error);
        if (slots[i].entry.readable && !slots[i].cachedHit) computed.push_back(i);
        entries.push_back(std::move(slots[i].entry));
        if (options.onEntry) options.onEntry(entries.back(), i + 1, files.size());
    }
    stop = true;
    for (std::thread& t : threads) t.join();

    std::vector<std::pair<const FlightFile*, const FlightSummary*>> added;
    for (size_t i : computed) added.emplace_back(&files[i], &entries[i].summary);
    std::vector<std::string> gone;
    std::set<std::string> present;
    for (const auto& f : files) present.insert(f.relative);
    for (const auto& [path, row] : cached)
        if (!present.count(path)) gone.push_back(path);
    db.Save(added, gone);

    std::stable_sort(entries.begin(), entries.end(), Before);
    return entries;
}

std::string LogbookCsv(const std::vector<LogbookEntry>& entries) {
    auto field = [](std::string_view text) {
        if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
        std::string q = "\"";
        for (char c : text) {
            if (c == '"') q += '"';
            q += c;
        }
        return q + "\"";
    };
    std::string out = "file";
    for (const auto& c : LogbookColumns()) {
        out += ',';
        out.append(c.name);
    }
    out += '\n';
    for (const auto& e : entries) {
        out += field(e.file);
        for (const auto& c : LogbookColumns()) {
            out += ',';
            if (e.readable) out += field(LogbookText(c, e.summary));
        }
        out += '\n';
    }
    return out;
}

void SaveLogbookCsv(const std::string& path, const std::vector<LogbookEntry>& entries) {
    const std::string text = LogbookCsv(entries);
    AtomicFile file;
    if (file.Create(path) != 0 || file.Write(text.data(), text.size()) != 0 || file.Commit() != 0)
        throw Error("Unable to write to " + path);
}

}  // namespace krelby
