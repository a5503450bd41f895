// Throughput of the stream encoders and of RC4 on 1 MB of list-like page text,
// with zlib's own compress2 at the same level as the reference for Flate.
#include "pdf/Filters.h"
#include "pdf/Protection.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

// Courier lines as the lists write them: positions, employee numbers, names, amounts.
const std::string& ListText() {
    static const std::string text = [] {
        static const char* names[] = {"ROSSI MARIO",   "BIANCHI ANNA", "ESPOSITO LUCA",    "ROMANO GIULIA",
                                      "COLOMBO PAOLO", "RICCI SARA",   "MARINO FRANCESCO", "GRECO ELENA"};
        std::mt19937 rng(42);
        std::string s;
        int y = 60;
        while (s.size() < (1u << 20)) {
            char line[200];
            std::snprintf(line, sizeof line,
                          "BT\n/F1 9 Tf 9 TL\n1 0 0 -1 28.346 %d Tm\n(%06u %-20s %9u.%02u %9u.%02u) Tj\nET\n", y,
                          static_cast<unsigned>(rng() % 999999), names[rng() % 8], static_cast<unsigned>(rng() % 99999),
                          static_cast<unsigned>(rng() % 100), static_cast<unsigned>(rng() % 9999),
                          static_cast<unsigned>(rng() % 100));
            s += line;
            y = y >= 780 ? 60 : y + 10;
        }
        s.resize(1u << 20);
        return s;
    }();
    return text;
}

template <typename Encode>
void RunEncoder(benchmark::State& state, Encode encode) {
    const std::string& input = ListText();
    std::string data;
    size_t outSize = 0;
    for (auto _ : state) {
        data.assign(input);  // reuses the capacity after the first round
        encode(data);
        outSize = data.size();
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.size()));
    state.counters["ratio"] = static_cast<double>(outSize) / static_cast<double>(input.size());
}

void BM_LzwQuality3(benchmark::State& state) {
    quill::LzwEncoder lzw;
    RunEncoder(state, [&lzw](std::string& d) { lzw.LzwEncode(d, 3); });
}
BENCHMARK(BM_LzwQuality3);

void BM_LzwQuality0(benchmark::State& state) {
    quill::LzwEncoder lzw;
    RunEncoder(state, [&lzw](std::string& d) { lzw.LzwEncode(d, 0); });
}
BENCHMARK(BM_LzwQuality0);

void BM_Flate(benchmark::State& state) {
    const int quality = static_cast<int>(state.range(0));
    RunEncoder(state, [quality](std::string& d) { quill::zzToFlateDecode(d, quality); });
}
BENCHMARK(BM_Flate)->DenseRange(0, 3)->ArgName("quality");

// Reference: zlib's one-call compressor at level quality + 4.
void BM_ZlibCompress2Reference(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0)) + 4;
    const std::string& input = ListText();
    std::string out(compressBound(static_cast<uLong>(input.size())), '\0');
    uLongf outLen = 0;
    for (auto _ : state) {
        outLen = static_cast<uLongf>(out.size());
        compress2(reinterpret_cast<Bytef*>(out.data()), &outLen, reinterpret_cast<const Bytef*>(input.data()),
                  static_cast<uLong>(input.size()), level);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.size()));
    state.counters["ratio"] = static_cast<double>(outLen) / static_cast<double>(input.size());
}
BENCHMARK(BM_ZlibCompress2Reference)->DenseRange(0, 3)->ArgName("quality");

void BM_RunLength(benchmark::State& state) {
    RunEncoder(state, [](std::string& d) { quill::RunLengthEncode(d); });
}
BENCHMARK(BM_RunLength);

void BM_Ascii85(benchmark::State& state) {
    RunEncoder(state, [](std::string& d) { quill::Ascii85Encode(d); });
}
BENCHMARK(BM_Ascii85);

void BM_AsciiHex(benchmark::State& state) {
    RunEncoder(state, [](std::string& d) { quill::AsciiHexEncode(d); });
}
BENCHMARK(BM_AsciiHex);

void BM_Rc4(benchmark::State& state) {
    quill::Rc4 rc4;
    const auto protection = quill::ComputeProtection(20, "padrone", "utente", "QuillPdf Library");
    const std::string key = protection.ObjectKey(5);
    RunEncoder(state, [&rc4, &key](std::string& d) { rc4.Rc4Crypt(key, d); });
}
BENCHMARK(BM_Rc4);

// A page-sized stream (about 4 KB) per call, as the writer encrypts page by page.
void BM_Rc4PerPageKey(benchmark::State& state) {
    quill::Rc4 rc4;
    const auto protection = quill::ComputeProtection(20, "padrone", "utente", "QuillPdf Library");
    const std::string page = ListText().substr(0, 4096);
    std::string data;
    uint32_t object = 4;
    for (auto _ : state) {
        data.assign(page);
        rc4.Rc4Crypt(protection.ObjectKey(object), data);
        object += 2;
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_Rc4PerPageKey);

}  // namespace

BENCHMARK_MAIN();
