// Archive layer speed on the benchmark suite: the demo suite of 100 companies and 10,000 employees,
// written once into a scratch folder through the demo generator and opened as the program opens it
// (installation settings from the settings store, then the archives). Measures index searches (ISAM
// operation 2 on the employee key index inside the semaphore, as the lists make them, over every
// indexed key in a shuffled order) and record reads (LEGGIREC on the employee archive over every
// record number), each against a plain pread loop of the same bytes; the ratios are printed after
// the runs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "../tools/demo/SuiteLayout.h"
#include "../tools/demo/SuitePlan.h"
#include "../tools/demo/SuiteWriter.h"
#include "archive/ArchiveContext.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace {

namespace fs = std::filesystem;
namespace demo = kv::demo;

constexpr int kCompanies = 100;
constexpr int kEmployees = 10000;
constexpr uint32_t kShuffleSeed = 42;

// A scratch folder, removed when the object goes (also when the suite fails half-way).
class ScratchFolder {
public:
    ScratchFolder() {
        std::string tmpl = (fs::temp_directory_path() / "kvbencharchXXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a scratch folder in " + tmpl);
        path_ = tmpl;
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// One key search of the run: the key, the record number the index must give, and the three pages
// (root, middle, leaf) that the search reads.
struct Search {
    std::string key;
    int record = 0;
    int pages[3] = {0, 0, 0};
};

// Fisher-Yates on the raw generator output, so the order is the same with every library.
template <typename T>
void Shuffle(std::vector<T>& items, std::mt19937& random) {
    for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[random() % i]);
}

// The benchmark suite and the archive layer opened on it.
class Suite {
public:
    Suite() {
        demo::DemoOptions options;
        options.root = scratch_.path();
        options.companies = kCompanies;
        options.employees = kEmployees;
        plan_ = demo::MakePlan(options);
        demo::SuiteWriter writer(plan_, messages_);
        writer.Write();

        // As the program starts: installation settings (settings store, else the path files), then
        // the archives it opens at start-up.
        registry_ = std::make_unique<kv::platform::SettingsStore>(writer.RegistryFile());
        context_ = std::make_unique<kv::ArchiveContext>(messages_, kv::platform::PathMap(scratch_.path()), *registry_);
        context_->LoadInstallation();
        if (context_->settings().archiveFolder.empty()) throw std::runtime_error("no archive folder in the settings");
        for (int number : {kv::archive::Companies, kv::archive::ExtractionList, kv::archive::EmployeeIndex,
                           kv::archive::Employees, kv::archive::Parameters, kv::archive::ExtractionHeader})
            context_->files().FAIOPEN(number);
        folder_ = kv::platform::PathMap(scratch_.path()).ToHost(context_->settings().archiveFolder);

        BuildRun();
        CheckSearches();
    }

    kv::ArchiveContext& context() { return *context_; }
    fs::path file(std::string_view name) const { return folder_ / std::string(name); }
    const std::vector<Search>& searches() const { return searches_; }
    const std::vector<int>& records() const { return records_; }
    size_t companies() const { return plan_.companies.size(); }
    size_t employees() const { return plan_.employees.size(); }

private:
    // The indexed keys in a shuffled order with their pages, and every record number in a shuffled
    // order.
    void BuildRun() {
        const int index = ::open(file("SLDIPIDX.DAT").c_str(), O_RDONLY | O_CLOEXEC);
        if (index < 0) throw std::runtime_error("cannot open " + file("SLDIPIDX.DAT").string());
        std::vector<const demo::PlannedEmployee*> order;
        for (const auto& e : plan_.employees) order.push_back(&e);
        std::mt19937 random(kShuffleSeed);
        Shuffle(order, random);
        for (const demo::PlannedEmployee* e : order) {
            records_.push_back(e->recordNumber);
            if (e->keyMissingFromIndex) continue;  // the search would only show its error message
            Search s{e->key, e->recordNumber};
            WalkIndex(index, s);
            searches_.push_back(std::move(s));
        }
        ::close(index);
    }

    // The pages a three-level search of the key reads: at each level the greatest entry not above it.
    // The key must be on the leaf reached.
    static void WalkIndex(int index, Search& s) {
        constexpr int entry = demo::kIndexKeyLength + kv::index::EntryTail;
        std::string page(demo::kIndexRecordLength, ' ');
        int number = 1;
        for (int level = 0; level < 3; ++level) {
            s.pages[level] = number;
            if (::pread(index, page.data(), page.size(), int64_t{number - 1} * demo::kIndexRecordLength) !=
                static_cast<ssize_t>(page.size()))
                throw std::runtime_error("short read in the index");
            if (level == 2) {
                for (int i = 0; i < kv::index::EntriesPerPage; ++i)
                    if (page.compare(static_cast<size_t>(i * entry), demo::kIndexKeyLength, s.key) == 0) return;
                throw std::runtime_error("key " + s.key + " is not on leaf page " + std::to_string(number));
            }
            int chosen = 0;
            for (int i = 0; i < kv::index::EntriesPerPage; ++i) {
                const std::string k = page.substr(static_cast<size_t>(i * entry), demo::kIndexKeyLength);
                if (static_cast<unsigned char>(k[0]) == kv::index::HighKeyByte || k > s.key) break;
                chosen = i;
            }
            number = std::atoi(page.substr(static_cast<size_t>(chosen * entry + demo::kIndexKeyLength + 1), 6).c_str());
        }
    }

    // Every key once through the archive layer before the timings: each must give its record.
    void CheckSearches() {
        for (const Search& s : searches_) {
            context_->files().APRISEMA();
            const int64_t r = context_->keys().ISAM(kv::archive::EmployeeIndex, s.key, 2, 0);
            context_->files().CHIUDISEMA();
            if (r != s.record)
                throw std::runtime_error("key " + s.key + " gives record " + std::to_string(r) + ", expected " +
                                         std::to_string(s.record));
        }
    }

    ScratchFolder scratch_;  // first: removed last, also when a later member fails
    kv::platform::ConsoleMessageBoxes messages_{std::cerr};
    demo::SuitePlan plan_;
    std::unique_ptr<kv::platform::SettingsStore> registry_;
    std::unique_ptr<kv::ArchiveContext> context_;
    fs::path folder_;
    std::vector<Search> searches_;
    std::vector<int> records_;
};

Suite& TheSuite() {
    static Suite suite;
    return suite;
}

void BM_IndexSearch(benchmark::State& state) {
    kv::ArchiveContext& ctx = TheSuite().context();
    const auto& searches = TheSuite().searches();
    size_t i = 0;
    for (auto _ : state) {
        const Search& s = searches[i];
        ctx.files().APRISEMA();
        const int64_t r = ctx.keys().ISAM(kv::archive::EmployeeIndex, s.key, 2, 0);
        ctx.files().CHIUDISEMA();
        if (r != s.record) {
            state.SkipWithError("wrong record number");
            break;
        }
        i = (i + 1) % searches.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["keys"] = static_cast<double>(searches.size());
}

// The same bytes without the archive layer: lock and read the semaphore file (open for the whole
// run, as the archive layer keeps it here), read the root, the middle page and the leaf that the
// search reads, unlock.
void BM_IndexSearchPlainPread(benchmark::State& state) {
    const auto& searches = TheSuite().searches();
    const int index = ::open(TheSuite().file("SLDIPIDX.DAT").c_str(), O_RDONLY | O_CLOEXEC);
    const std::string semaphore = TheSuite().file("SLSEMA.DAT").string();
    std::string page(demo::kIndexRecordLength, ' ');
    std::string sema(kv::archive::SemaphoreRecordLength, ' ');
    size_t i = 0;
    const int s = ::open(semaphore.c_str(), O_RDWR | O_CLOEXEC);
    for (auto _ : state) {
        ::flock(s, LOCK_EX | LOCK_NB);
        benchmark::DoNotOptimize(::pread(s, sema.data(), sema.size(), 0));
        for (int p : searches[i].pages)
            benchmark::DoNotOptimize(
                ::pread(index, page.data(), page.size(), int64_t{p - 1} * demo::kIndexRecordLength));
        ::flock(s, LOCK_UN);
        i = (i + 1) % searches.size();
    }
    ::close(s);
    ::close(index);
    state.SetItemsProcessed(state.iterations());
    state.counters["keys"] = static_cast<double>(searches.size());
}

void BM_ReadRecord(benchmark::State& state) {
    kv::ArchiveContext& ctx = TheSuite().context();
    const auto& records = TheSuite().records();
    size_t i = 0;
    for (auto _ : state) {
        if (ctx.files().LEGGIREC(kv::archive::Employees, records[i]) != 0) {
            state.SkipWithError("record missing");
            break;
        }
        benchmark::DoNotOptimize(ctx.files().buffer(kv::archive::Employees).data());
        i = (i + 1) % records.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * demo::kEmployeeRecordLength);
    state.counters["records"] = static_cast<double>(records.size());
}

void BM_ReadRecordPlainPread(benchmark::State& state) {
    const auto& records = TheSuite().records();
    const int fd = ::open(TheSuite().file("SLDIPEND.DAT").c_str(), O_RDONLY | O_CLOEXEC);
    std::string buffer(demo::kEmployeeRecordLength, ' ');
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ::pread(fd, buffer.data(), buffer.size(), int64_t{records[i] - 1} * demo::kEmployeeRecordLength));
        i = (i + 1) % records.size();
    }
    ::close(fd);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * demo::kEmployeeRecordLength);
    state.counters["records"] = static_cast<double>(records.size());
}

BENCHMARK(BM_IndexSearch);
BENCHMARK(BM_IndexSearchPlainPread);
BENCHMARK(BM_ReadRecord);
BENCHMARK(BM_ReadRecordPlainPread);

// Console output plus, at the end, each measurement's rate and its ratio to the plain loop.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                nanos_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nBenchmark suite: %zu companies, %zu employees (%zu indexed keys)\n", TheSuite().companies(),
                    TheSuite().employees(), TheSuite().searches().size());
        Ratio("index searches", "BM_IndexSearch", "BM_IndexSearchPlainPread", 0.8);
        Ratio("records read", "BM_ReadRecord", "BM_ReadRecordPlainPread", 0.9);
    }

private:
    void Ratio(const char* what, const std::string& ours, const std::string& plain, double goal) {
        if (!nanos_.count(ours) || !nanos_.count(plain)) return;
        const double perSecond = 1e9 / nanos_[ours];
        const double plainPerSecond = 1e9 / nanos_[plain];
        const double ratio = perSecond / plainPerSecond;
        std::printf("%-16s %12.0f per second; plain pread %12.0f per second; ratio %.2f (goal: at least %.1f) %s\n",
                    what, perSecond, plainPerSecond, ratio, goal, ratio >= goal ? "MET" : "NOT MET");
    }
    std::map<std::string, double> nanos_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        TheSuite();  // written and checked before the timings start
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_archive: cannot prepare the benchmark suite: %s\n", e.what());
        return 1;
    } catch (...) {
        std::fprintf(stderr, "bench_archive: the archive layer ended the program while preparing the suite\n");
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
