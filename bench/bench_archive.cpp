// Archive layer speed on a benchmark-sized suite: 10,000 employees of 16,200 characters and their
// three-level index. Measures index searches (ISAM operation 2 inside the semaphore, as the lists
// make them) and record reads (LEGGIREC), each against a plain pread loop of the same bytes; the
// ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "archive/ArchiveContext.h"
#include "archive/IndexBuilder.h"
#include "platform/Messages.h"
#include "platform/Registry.h"

namespace {

constexpr int kEmployees = 10000;
constexpr int kRecordLength = 16200;
constexpr int kKeyLength = 10;
constexpr int kIndexRecordLength = (kKeyLength + 7) * 128;

std::string KeyOf(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "012%07d", i * 3);  // company 012, employee codes with gaps
    return buf;
}

// The scratch suite, built once and removed at exit.
class Suite {
public:
    Suite() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kvbenchXXXXXX").string();
        if (!::mkdtemp(tmpl.data())) std::abort();
        root_ = tmpl;
        folder_ = root_ / "C" / "KVS" / "ARCHIVI";
        std::filesystem::create_directories(folder_);

        std::string catalogue;
        auto record = [](const std::string& name, int length) {
            std::string r = "   " + name;
            r.resize(32, ' ');
            char len[8];
            std::snprintf(len, sizeof len, "%05d", length);
            r += len;
            r.resize(77, ' ');
            return r + "\r\n";
        };
        for (int n = 1; n <= 7; ++n)
            catalogue += n == 2 ? record("DIPEN.DAT", kRecordLength)
                                : n == 7 ? record("DIPIND.DAT", kIndexRecordLength) : std::string(77, ' ') + "\r\n";
        std::ofstream(folder_ / "SLBASE.DAT", std::ios::binary) << catalogue;
        std::ofstream(folder_ / "SLSEMA.DAT", std::ios::binary) << std::string(2000, ' ');

        std::ofstream employees(folder_ / "DIPEN.DAT", std::ios::binary);
        std::string rec(kRecordLength, ' ');
        std::vector<kv::IndexBuilder::Entry> entries;
        for (int i = 1; i <= kEmployees; ++i) {
            const std::string key = KeyOf(i);
            for (int c = 0; c < kRecordLength; ++c) rec[c] = static_cast<char>('0' + (c * 7 + i) % 10);
            rec.replace(0, key.size(), key);
            employees.write(rec.data(), rec.size());
            entries.push_back({key, i});
        }
        employees.close();
        kv::IndexBuilder(kKeyLength).Write(folder_ / "DIPIND.DAT", entries);

        context_ = std::make_unique<kv::ArchiveContext>(messages_, kv::platform::PathMap(root_), registry_);
        context_->settings().archiveFolder = "C:\\KVS\\ARCHIVI";
        context_->files().FAIOPEN(2);
        context_->files().FAIOPEN(7);
    }
    ~Suite() {
        context_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    kv::ArchiveContext& context() { return *context_; }
    std::filesystem::path file(const char* name) const { return folder_ / name; }

private:
    std::filesystem::path root_;
    std::filesystem::path folder_;
    kv::platform::ConsoleMessageBoxes messages_{std::cerr};
    kv::platform::MemoryRegistry registry_;
    std::unique_ptr<kv::ArchiveContext> context_;
};

Suite& TheSuite() {
    static Suite suite;
    return suite;
}

std::vector<int> RandomEmployees() {
    std::mt19937 random(42);
    std::vector<int> v(4096);
    for (int& e : v) e = 1 + static_cast<int>(random() % kEmployees);
    return v;
}

void BM_IndexSearch(benchmark::State& state) {
    kv::ArchiveContext& ctx = TheSuite().context();
    const auto employees = RandomEmployees();
    std::vector<std::string> keys;
    for (int e : employees) keys.push_back(KeyOf(e));
    size_t i = 0;
    for (auto _ : state) {
        ctx.files().APRISEMA();
        const double r = ctx.keys().ISAM(7, keys[i], 2, 0);
        ctx.files().CHIUDISEMA();
        if (r != employees[i]) state.SkipWithError("wrong record number");
        i = (i + 1) % keys.size();
    }
    state.SetItemsProcessed(state.iterations());
}

// The same bytes without the archive layer: open, lock, read and close the semaphore file, then
// read the root, the middle page and the leaf that the search reads.
void BM_IndexSearchPlainPread(benchmark::State& state) {
    const auto employees = RandomEmployees();
    const int index = ::open(TheSuite().file("DIPIND.DAT").c_str(), O_RDONLY);
    const std::string semaphore = TheSuite().file("SLSEMA.DAT").string();
    std::string page(kIndexRecordLength, ' ');
    std::string sema(2000, ' ');
    size_t i = 0;
    for (auto _ : state) {
        const int s = ::open(semaphore.c_str(), O_RDWR);
        ::flock(s, LOCK_EX | LOCK_NB);
        benchmark::DoNotOptimize(::pread(s, sema.data(), sema.size(), 0));
        ::close(s);
        const int leaf = 3 + (employees[i] - 1) / 128;
        for (int p : {1, 2, leaf}) benchmark::DoNotOptimize(::pread(index, page.data(), page.size(), (p - 1) * kIndexRecordLength));
        i = (i + 1) % employees.size();
    }
    ::close(index);
    state.SetItemsProcessed(state.iterations());
}

void BM_ReadRecord(benchmark::State& state) {
    kv::ArchiveContext& ctx = TheSuite().context();
    const auto employees = RandomEmployees();
    size_t i = 0;
    for (auto _ : state) {
        if (ctx.files().LEGGIREC(2, employees[i]) != 0) state.SkipWithError("record missing");
        benchmark::DoNotOptimize(ctx.files().buffer(2).data());
        i = (i + 1) % employees.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * kRecordLength);
}

void BM_ReadRecordPlainPread(benchmark::State& state) {
    const auto employees = RandomEmployees();
    const int fd = ::open(TheSuite().file("DIPEN.DAT").c_str(), O_RDONLY);
    std::string buffer(kRecordLength, ' ');
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(::pread(fd, buffer.data(), buffer.size(), int64_t(employees[i] - 1) * kRecordLength));
        i = (i + 1) % employees.size();
    }
    ::close(fd);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * kRecordLength);
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
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) nanos_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Ratio("index searches", "BM_IndexSearch", "BM_IndexSearchPlainPread");
        Ratio("records read", "BM_ReadRecord", "BM_ReadRecordPlainPread");
    }

private:
    void Ratio(const char* what, const std::string& ours, const std::string& plain) {
        if (!nanos_.count(ours) || !nanos_.count(plain)) return;
        const double perSecond = 1e9 / nanos_[ours];
        const double plainPerSecond = 1e9 / nanos_[plain];
        std::printf("%-16s %12.0f per second; plain pread %12.0f per second; ratio %.2f\n", what, perSecond,
                    plainPerSecond, perSecond / plainPerSecond);
    }
    std::map<std::string, double> nanos_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TheSuite();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
