#include "logbook/logbook.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "base/error.h"
#include "logbook/cache.h"
#include "logbook/copies.h"
#include "logbook/flight_files.h"

namespace krelby {

namespace testing {
FlightSummary (*summarizeFlight)(const std::string&, const ThermocoupleKinds&, const Limits&) = nullptr;
}  // namespace testing

std::vector<LogbookEntry> ListFlights(const std::string& programFolder, const ThermocoupleKinds& kinds,
                                      const Limits& limits, const LogbookOptions& options) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::vector<FlightFile> files = FindFlightFiles(folder, SummaryStampKey(kinds, limits));
    LogbookCache db(folder + kLogbookDatabase, options.warn);
    auto cached = db.Load(files);

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
        slots[i].entry = {files[i].relative, {files[i].relative}, {}, true};
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
                const auto summarize = testing::summarizeFlight ? testing::summarizeFlight : SummarizeFlight;
                e.summary = summarize(files[toMake[k]].path, kinds, limits);
            } catch (const Error& err) {
                e.readable = false;
                error = err.what();
            } catch (const std::bad_alloc&) {
                // A flight too large for the memory left: listed without its figures, never
                // the end of the program (an exception leaving a thread would be).
                e.readable = false;
                error = "Not enough memory to read " + files[toMake[k]].path + "; it is listed without its figures";
            } catch (const std::exception& err) {
                e.readable = false;
                error = files[toMake[k]].path + ": " + err.what();
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

    LogbookCache::Added added;
    for (size_t i : computed) added.emplace_back(&files[i], &entries[i].summary);
    db.Save(added);
    return JoinCopies(std::move(entries), folder);
}

}  // namespace krelby
