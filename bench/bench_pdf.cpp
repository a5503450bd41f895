// PDF writer benchmark: the "list document" (N A4 pages, 66 lines of 100 characters of
// Courier 9 pt, one text call per line at an absolute position), written by QuillPdf and,
// with the same workload, by libharu, by cairo's PDF surface and by the floor: a minimal
// writer that puts the very page contents QuillPdf produces straight into the file.
//
// Reported per benchmark: pages/s and MB/s (file bytes). The QuillPdf benchmarks run last
// and add the throughput ratios QuillPdf/libharu, QuillPdf/cairo and QuillPdf/floor (above
// 1: QuillPdf is faster) and, for the compressed modes, QuillPdf's time over the time zlib
// alone (compress2 on the same uncompressed page contents) needs. A summary table follows
// the benchmark output (from the median time of a document), then the writer's goals, each
// with its ratio measured in this run and MET or NOT MET (see MeasureGoals).
//
// Set KV_BENCH_KEEP_PDF to a folder to keep a copy of each document written, and
// KV_BENCH_SKIP_GOALS to leave the goals out (when profiling one benchmark, for instance).
//
// Comparison notes: libharu has no LZW, so QuillPdf's LZW mode is set against libharu's
// Flate; cairo always deflates its page contents, so its one mode stands for all three.
// The zlib level matches QuillPdf's quality (quality + 4): level 7 for LZW quality 3,
// level 4 for Flate quality 0.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#if __has_include("quill/QuillPdf.h") && !defined(KV_BENCH_SKIP_QUILL)
#define KV_HAVE_QUILL 1
#include "quill/QuillPdf.h"
#endif
#ifdef KV_HAVE_HPDF
#include <hpdf.h>
#endif
#ifdef KV_HAVE_CAIRO
#include <cairo-pdf.h>
#include <cairo.h>
#endif

namespace {

namespace fs = std::filesystem;

// ---- the workload -------------------------------------------------------------------------

constexpr float kPageWidth = 596, kPageHeight = 842;  // A4 in points
constexpr int kLinesPerPage = 66;
constexpr int kCharsPerLine = 100;
constexpr float kFontSize = 9;
constexpr float kLeft = 20, kTop = 30, kLeading = 12;  // 100 x 5.4 pt fits; 66 x 12 pt fits

float LineY(int line) { return kTop + static_cast<float>(line) * kLeading; }  // from the top

// A pool of payroll-like lines of exactly 100 ASCII characters, deterministic, cycled
// through the document so that the content does not repeat page after page.
class ListLines {
public:
    ListLines() {
        static const char* const surnames[] = {"ROSSI",   "BIANCHI", "ESPOSITO", "COLOMBO", "RICCI",
                                               "MARINO",  "GRECO",   "BRUNO",    "GALLO",   "CONTI",
                                               "DE LUCA", "MANCINI", "COSTA",    "GIORDANO"};
        static const char* const names[] = {"MARIO", "GIUSEPPE", "ANNA",   "FRANCESCA", "LUCA",
                                            "PAOLA", "MARCO",    "GIULIA", "ANDREA",    "SARA"};
        uint32_t seed = 12345;
        auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
        lines_.reserve(kPoolSize);
        for (int i = 0; i < kPoolSize; ++i) {
            char buf[256];
            const double pay = static_cast<double>(next() % 500000) / 100.0;
            std::snprintf(buf, sizeof buf, "%06d %-12s %-10s %02u/%02u/%04u %11.2f %10.2f %10.2f %9.2f %5u",
                          100000 + static_cast<int>(next() % 900000), surnames[next() % 14], names[next() % 10],
                          next() % 28 + 1, next() % 12 + 1, 1990 + next() % 35, pay, pay / 13.5, pay * 0.005,
                          pay * 0.0091, next() % 99999);
            std::string line(buf);
            line.resize(kCharsPerLine, ' ');
            lines_.push_back(std::move(line));
        }
    }
    const std::string& At(int page, int line) const {
        return lines_[static_cast<size_t>(page * kLinesPerPage + line) % lines_.size()];
    }

private:
    static constexpr int kPoolSize = kLinesPerPage * 31;
    std::vector<std::string> lines_;
};

enum class Mode { None, Lzw, Flate };
constexpr Mode kModes[] = {Mode::None, Mode::Lzw, Mode::Flate};
constexpr int kPageCounts[] = {200, 2000};

const char* ModeName(Mode m) { return m == Mode::None ? "none" : m == Mode::Lzw ? "lzw" : "flate"; }
int ZlibLevel(Mode m) { return m == Mode::Lzw ? 7 : 4; }

// ---- bookkeeping shared by the benchmarks of one run ----------------------------------------

struct Measured {
    double secondsPerDoc = 0;
    double bytesPerDoc = 0;
};

class Results {
public:
    void Set(const std::string& key, Measured m) { map_[key] = m; }
    const Measured* Get(const std::string& key) const {
        auto it = map_.find(key);
        return it == map_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Measured> map_;
};

std::string Key(const char* writer, int pages, const char* mode) {
    return std::string(writer) + "/" + std::to_string(pages) + "/" + mode;
}

class TempDir {
public:
    TempDir() {
        std::string templ = (fs::temp_directory_path() / "kvteso_bench_pdf_XXXXXX").string();
        if (!mkdtemp(templ.data())) throw std::runtime_error("cannot create a temporary folder");
        path_ = templ;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    fs::path File(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

struct Context {
    TempDir dir;
    ListLines lines;
    Results results;
};

// A writer returns an empty string on success, else what went wrong.
using Writer = std::string (*)(const ListLines&, const fs::path&, int pages, Mode);

// ---- the writers ----------------------------------------------------------------------------

#ifdef KV_HAVE_QUILL
std::string WriteQuill(const ListLines& lines, const fs::path& path, int pages, Mode mode) {
    quill::QuillPdf pdf;
    pdf.SetScale(quill::Unit::Points);
    pdf.SetPaperSize(quill::Paper::A4);
    if (mode == Mode::Lzw) pdf.SetCompression(quill::Filter::Lzw, 3);
    if (mode == Mode::Flate) pdf.SetCompression(quill::Filter::Flate, 0);
    pdf.BeginDoc(path.string());
    for (int p = 0; p < pages; ++p) {
        pdf.BeginPage();
        pdf.SetFont("Courier New", kFontSize, quill::FontStyle::Regular);
        for (int l = 0; l < kLinesPerPage; ++l) pdf.DrawText(kLeft, LineY(l), lines.At(p, l), quill::Align::Left);
    }
    pdf.EndDoc();
    if (pdf.ErrNumber() != 0) return pdf.ErrSource() + ": " + pdf.ErrDescription();
    return {};
}
#endif

#ifdef KV_HAVE_HPDF
void HaruError(HPDF_STATUS error, HPDF_STATUS detail, void* userData) {
    auto* message = static_cast<std::string*>(userData);
    if (message->empty()) message->assign("libharu error " + std::to_string(error) + "/" + std::to_string(detail));
}

// libharu has no LZW: Mode::Lzw is written like Mode::Flate.
std::string WriteHaru(const ListLines& lines, const fs::path& path, int pages, Mode mode) {
    std::string error;
    HPDF_Doc pdf = HPDF_New(HaruError, &error);
    if (!pdf) return "HPDF_New failed";
    HPDF_SetCompressionMode(pdf, mode == Mode::None ? HPDF_COMP_NONE : HPDF_COMP_TEXT);
    HPDF_Font font = HPDF_GetFont(pdf, "Courier", "WinAnsiEncoding");
    for (int p = 0; p < pages && error.empty(); ++p) {
        HPDF_Page page = HPDF_AddPage(pdf);
        HPDF_Page_SetWidth(page, kPageWidth);
        HPDF_Page_SetHeight(page, kPageHeight);
        HPDF_Page_SetFontAndSize(page, font, kFontSize);
        for (int l = 0; l < kLinesPerPage; ++l) {
            HPDF_Page_BeginText(page);
            HPDF_Page_TextOut(page, kLeft, kPageHeight - LineY(l), lines.At(p, l).c_str());
            HPDF_Page_EndText(page);
        }
    }
    if (error.empty()) HPDF_SaveToFile(pdf, path.string().c_str());
    HPDF_Free(pdf);
    return error;
}
#endif

#ifdef KV_HAVE_CAIRO
// cairo deflates every page content whatever the mode.
std::string WriteCairo(const ListLines& lines, const fs::path& path, int pages, Mode) {
    cairo_surface_t* surface = cairo_pdf_surface_create(path.string().c_str(), kPageWidth, kPageHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "Courier New", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontSize);
    for (int p = 0; p < pages; ++p) {
        for (int l = 0; l < kLinesPerPage; ++l) {
            cairo_move_to(cr, kLeft, LineY(l));
            cairo_show_text(cr, lines.At(p, l).c_str());  // ASCII, hence valid UTF-8
        }
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    return status == CAIRO_STATUS_SUCCESS ? std::string() : cairo_status_to_string(status);
}
#endif

// ---- the floor -------------------------------------------------------------------------------

// The least a writer can do for this workload: the page contents QuillPdf writes for it (the
// coordinates are whole points here, so they are formatted as integers), built in one buffer
// and handed to the system in writes of 256 KiB as QuillPdf's are, plus the fewest objects a valid file needs
// around them. No measuring, no graphics state, no encoding.
class FloorBuffer {
public:
    explicit FloorBuffer(std::FILE* file) : file_(file) { bytes_.reserve(kChunk * 2); }
    std::string& Bytes() { return bytes_; }
    uint64_t Position() const { return written_ + bytes_.size(); }
    void Append(std::string_view s) { bytes_.append(s); }
    void AppendInt(uint64_t v) {
        char digits[24];
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, v);
        (void)ec;
        bytes_.append(digits, end);
    }
    void MaybeFlush() {
        if (bytes_.size() >= kChunk) Flush();
    }
    bool Flush() {
        const bool ok = std::fwrite(bytes_.data(), 1, bytes_.size(), file_) == bytes_.size();
        written_ += bytes_.size();
        bytes_.clear();
        return ok;
    }

private:
    static constexpr size_t kChunk = size_t{1} << 18;  // as QuillPdf's output buffer
    std::FILE* file_;
    std::string bytes_;
    uint64_t written_ = 0;
};

std::string WriteFloor(const ListLines& lines, const fs::path& path, int pages, Mode) {
    static constexpr std::array<bool, 256> kSpecial = [] {
        std::array<bool, 256> special{};
        for (unsigned char c : {'(', ')', '\\', '\r', '\n'}) special[c] = true;
        return special;
    }();
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (!file) return "cannot create " + path.string();
    std::setvbuf(file, nullptr, _IONBF, 0);  // the buffer is ours
    FloorBuffer out(file);
    std::vector<uint64_t> offsets(static_cast<size_t>(2 * pages + 7), 0);
    auto object = [&](size_t number) {
        offsets[number] = out.Position();
        out.AppendInt(number);
        out.Append(" 0 obj\n");
    };
    out.Append("%PDF-1.3\n");
    object(3);
    out.Append(
        "<< /Type /Font /Subtype /Type1 /Name /CourierNew /BaseFont /CourierNew /FirstChar 0 /LastChar 255\n"
        "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding>>\n >>\nendobj\n");
    std::string content, kids;
    for (int p = 0; p < pages; ++p) {
        content.assign("1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r");
        for (int l = 0; l < kLinesPerPage; ++l) {
            char y[16];
            const auto [end, ec] = std::to_chars(y, y + sizeof y, static_cast<int>(LineY(l)));
            (void)ec;
            content.append("0 0 0 rg\rBT\r/CourierNew 9 Tf 9 TL\r1 0 0 -1 20 ");
            content.append(y, end);
            content.append(" Tm\r(");
            const std::string& text = lines.At(p, l);
            if (std::none_of(text.begin(), text.end(),
                             [](char c) { return kSpecial[static_cast<unsigned char>(c)]; })) {
                content.append(text);
            } else {
                for (char c : text) {
                    if (c == '(' || c == ')' || c == '\\') content.push_back('\\');
                    if (c == '\r' || c == '\n') {
                        content.append(c == '\r' ? "\\r" : "\\n");
                        continue;
                    }
                    content.push_back(c);
                }
            }
            content.append(") Tj\rET\r0 0 0 rg\r");
        }
        const size_t page = static_cast<size_t>(4 + 2 * p);
        object(page);
        out.Append("<< /Type /Page /Parent 1 0 R /Contents ");
        out.AppendInt(page + 1);
        out.Append(" 0 R\r/MediaBox [0 0 596 842]\r/Resources 2 0 R>>\nendobj\n");
        object(page + 1);
        out.Append("<<\n/Length ");
        out.AppendInt(content.size());
        out.Append(" >>\rstream\n");
        out.Append(content);
        out.Append("\nendstream\nendobj\n");
        kids += std::to_string(page) + " 0 R ";
        out.MaybeFlush();
    }
    object(2);
    out.Append("<<\r/Font <</CourierNew 3 0 R >>\r/ProcSet [/PDF /Text ]\r>>\nendobj\n");
    object(1);
    out.Append("<<\n/Type /Pages /Count ");
    out.AppendInt(static_cast<uint64_t>(pages));
    out.Append("\n/Kids [" + kids + "] \n>>\nendobj\n");
    const size_t catalog = offsets.size() - 1;
    object(catalog);
    out.Append("<< /Type /Catalog\n/Pages 1 0 R\n>>\nendobj\n");
    const uint64_t xref = out.Position();
    out.Append("xref\n0 ");
    out.AppendInt(offsets.size());
    out.Append("\n0000000000 65535 f\r\n");
    for (size_t n = 1; n < offsets.size(); ++n) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010llu %05d %c\r\n", static_cast<unsigned long long>(offsets[n]),
                      offsets[n] == 0 ? 65535 : 0, offsets[n] == 0 ? 'f' : 'n');
        out.Append(std::string_view(entry, 20));
    }
    out.Append("trailer\n<< /Size ");
    out.AppendInt(offsets.size());
    out.Append(" /Root ");
    out.AppendInt(catalog);
    out.Append(" 0 R\n>>\nstartxref\n");
    out.AppendInt(xref);
    out.Append("\n%%EOF\n");
    const bool written = out.Flush();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? std::string() : "cannot write " + path.string();
}

// ---- measuring ------------------------------------------------------------------------------

double FileBytes(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0.0 : static_cast<double>(size);
}

// With KV_BENCH_KEEP_PDF=<folder> the documents are copied there before deletion, for
// checking them with qpdf or a viewer.
void KeepCopy(const fs::path& path) {
    if (const char* keep = std::getenv("KV_BENCH_KEEP_PDF"); keep && *keep) {
        std::error_code ec;
        fs::copy_file(path, fs::path(keep) / path.filename(), fs::copy_options::overwrite_existing, ec);
    }
}

// The ratios of the summary and the goals use the median time of a document: the machine may be
// shared, and a few iterations slowed down by other work then do not move them.
double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1) return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

void SetRateCounters(benchmark::State& state, int pages, double bytesPerDoc) {
    const double docs = static_cast<double>(state.iterations());
    state.counters["pages/s"] = benchmark::Counter(pages * docs, benchmark::Counter::kIsRate);
    state.counters["MB/s"] = benchmark::Counter(bytesPerDoc * docs / 1e6, benchmark::Counter::kIsRate);
}

// Writes the document once per iteration; the file is deleted outside the timed part.
Measured RunDocument(benchmark::State& state, Context& ctx, Writer write, const char* writer, int pages, Mode mode) {
    const fs::path path =
        ctx.dir.File(std::string(writer) + "_" + std::to_string(pages) + "_" + ModeName(mode) + ".pdf");
    std::vector<double> seconds;
    double bytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::string error = write(ctx.lines, path, pages, mode);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        bytes = FileBytes(path);
        KeepCopy(path);
        fs::remove(path);
        state.ResumeTiming();
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return {};
        }
    }
    SetRateCounters(state, pages, bytes);
    Measured m{Median(seconds), bytes};
    ctx.results.Set(Key(writer, pages, ModeName(mode)), m);
    return m;
}

[[maybe_unused]] void AddRatio(benchmark::State& state, const Results& results, const char* name,
                               const std::string& otherKey, const Measured& mine) {
    if (const Measured* other = results.Get(otherKey); other && mine.secondsPerDoc > 0)
        state.counters[name] = other->secondsPerDoc / mine.secondsPerDoc;
}

// The unencoded streams (no /Filter) of a PDF file: the page contents of an uncompressed document.
std::vector<std::string> UnencodedStreams(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> streams;
    size_t at = 0;
    while ((at = pdf.find("stream", at)) != std::string::npos) {
        const bool keyword = (at < 3 || pdf.compare(at - 3, 3, "end") != 0);
        size_t start = at + 6;
        if (keyword && start < pdf.size() && (pdf[start] == '\r' || pdf[start] == '\n')) {
            if (pdf[start] == '\r') ++start;
            if (start < pdf.size() && pdf[start] == '\n') ++start;
            const size_t dict = pdf.rfind("obj", at);
            const bool filtered = dict != std::string::npos && pdf.find("/Filter", dict) < at;
            size_t end = pdf.find("endstream", start);
            if (end == std::string::npos) break;
            const size_t next = end + 9;
            while (end > start && (pdf[end - 1] == '\n' || pdf[end - 1] == '\r')) --end;
            if (!filtered) streams.push_back(pdf.substr(start, end - start));
            at = next;
            continue;
        }
        at += 6;
    }
    return streams;
}

// The floor counts only when its page contents are QuillPdf's, byte for byte.
[[maybe_unused]] std::string FloorMatchesQuill(Context& ctx) {
#ifdef KV_HAVE_QUILL
    const fs::path quill = ctx.dir.File("floor_check_quill.pdf"), floor = ctx.dir.File("floor_check_floor.pdf");
    std::string error = WriteQuill(ctx.lines, quill, 3, Mode::None);
    if (error.empty()) error = WriteFloor(ctx.lines, floor, 3, Mode::None);
    bool same = false;
    if (error.empty()) {
        // QuillPdf's metadata stream follows the pages; the floor has none.
        std::vector<std::string> mine = UnencodedStreams(quill);
        const std::vector<std::string> theirs = UnencodedStreams(floor);
        if (mine.size() > theirs.size()) mine.resize(theirs.size());
        same = theirs.size() == 3 && mine == theirs;
    }
    KeepCopy(quill);
    KeepCopy(floor);
    fs::remove(quill);
    fs::remove(floor);
    if (!error.empty()) return error;
    if (!same) return "the floor's page contents differ from QuillPdf's";
#else
    (void)ctx;
#endif
    return {};
}

// compress2 on each stream; output is the compressed bytes in all.
bool CompressStreams(const std::vector<std::string>& streams, int level, std::vector<Bytef>& out, double& output) {
    output = 0;
    for (const auto& s : streams) {
        uLongf size = static_cast<uLongf>(out.size());
        if (compress2(out.data(), &size, reinterpret_cast<const Bytef*>(s.data()), static_cast<uLong>(s.size()),
                      level) != Z_OK)
            return false;
        output += static_cast<double>(size);
    }
    return true;
}

// zlib alone: compress2 on the page contents of the uncompressed document.
void BenchZlib(benchmark::State& state, Context& ctx, Writer source, const char* sourceName, int pages, Mode mode) {
    const fs::path path = ctx.dir.File("zlib_source.pdf");
    if (const std::string error = source(ctx.lines, path, pages, Mode::None); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::vector<std::string> streams = UnencodedStreams(path);
    fs::remove(path);
    if (streams.empty()) {
        state.SkipWithError("no page content found");
        return;
    }
    double input = 0;
    for (const auto& s : streams) input += static_cast<double>(s.size());
    std::vector<Bytef> out(compressBound(static_cast<uLong>(input)));
    const int level = ZlibLevel(mode);
    std::vector<double> seconds;
    double output = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!CompressStreams(streams, level, out, output)) {
            state.SkipWithError("compress2 failed");
            return;
        }
        benchmark::DoNotOptimize(out.data());
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    SetRateCounters(state, pages, input);
    state.counters["level"] = level;
    state.counters["ratio_out/in"] = output / input;
    state.SetLabel(std::string("contents of ") + sourceName);
    ctx.results.Set(Key("zlib", pages, ModeName(mode)), {Median(seconds), output});
}

void Register(Context& ctx) {
    for (int pages : kPageCounts) {
        benchmark::RegisterBenchmark(("floor/" + std::to_string(pages) + "/none").c_str(),
                                     [&ctx, pages](benchmark::State& s) {
                                         if (const std::string error = FloorMatchesQuill(ctx); !error.empty()) {
                                             s.SkipWithError(error.c_str());
                                             return;
                                         }
                                         RunDocument(s, ctx, WriteFloor, "floor", pages, Mode::None);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
#ifdef KV_HAVE_HPDF
        for (Mode mode : {Mode::None, Mode::Flate}) {
            benchmark::RegisterBenchmark(
                ("libharu/" + std::to_string(pages) + "/" + ModeName(mode)).c_str(),
                [&ctx, pages, mode](benchmark::State& s) { RunDocument(s, ctx, WriteHaru, "libharu", pages, mode); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
#endif
#ifdef KV_HAVE_CAIRO
        benchmark::RegisterBenchmark(
            ("cairo/" + std::to_string(pages) + "/flate").c_str(),
            [&ctx, pages](benchmark::State& s) { RunDocument(s, ctx, WriteCairo, "cairo", pages, Mode::Flate); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
#endif
    }

#if defined(KV_HAVE_QUILL) || defined(KV_HAVE_HPDF)
#ifdef KV_HAVE_QUILL
    const Writer zlibSource = WriteQuill;
    const char* zlibSourceName = "QuillPdf";
#else
    const Writer zlibSource = WriteHaru;
    const char* zlibSourceName = "libharu";
#endif
    for (int pages : kPageCounts)
        for (Mode mode : {Mode::Lzw, Mode::Flate})
            benchmark::RegisterBenchmark(("zlib_alone/" + std::to_string(pages) + "/" + ModeName(mode)).c_str(),
                                         [&ctx, zlibSource, zlibSourceName, pages, mode](benchmark::State& s) {
                                             BenchZlib(s, ctx, zlibSource, zlibSourceName, pages, mode);
                                         })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
#endif

#ifdef KV_HAVE_QUILL
    for (int pages : kPageCounts)
        for (Mode mode : kModes)
            benchmark::RegisterBenchmark(
                ("QuillPdf/" + std::to_string(pages) + "/" + ModeName(mode)).c_str(),
                [&ctx, pages, mode](benchmark::State& s) {
                    const Measured m = RunDocument(s, ctx, WriteQuill, "QuillPdf", pages, mode);
                    if (s.error_occurred()) return;
                    const char* haruMode = mode == Mode::None ? "none" : "flate";
                    AddRatio(s, ctx.results, "x_libharu", Key("libharu", pages, haruMode), m);
                    AddRatio(s, ctx.results, "x_cairo", Key("cairo", pages, "flate"), m);
                    if (mode == Mode::None) AddRatio(s, ctx.results, "x_floor", Key("floor", pages, "none"), m);
                    if (mode != Mode::None) {
                        // Time over zlib's time: how many times the bare compression QuillPdf needs.
                        if (const Measured* z = ctx.results.Get(Key("zlib", pages, ModeName(mode)));
                            z && z->secondsPerDoc > 0)
                            s.counters["t/zlib"] = m.secondsPerDoc / z->secondsPerDoc;
                    }
                })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
#endif
}

// ---- summary --------------------------------------------------------------------------------

void PrintCell(const Results& r, const std::string& key, int pages) {
    if (const Measured* m = r.Get(key); m && m->secondsPerDoc > 0)
        std::printf(" %9.0f %7.1f", pages / m->secondsPerDoc, m->bytesPerDoc / 1e6 / m->secondsPerDoc);
    else
        std::printf(" %9s %7s", "-", "-");
}

void PrintRatio(const Results& r, const std::string& mine, const std::string& other, bool invert) {
    const Measured* a = r.Get(mine);
    const Measured* b = r.Get(other);
    if (a && b && a->secondsPerDoc > 0 && b->secondsPerDoc > 0)
        std::printf(" %8.2f", invert ? a->secondsPerDoc / b->secondsPerDoc : b->secondsPerDoc / a->secondsPerDoc);
    else
        std::printf(" %8s", "-");
}

void PrintSummary(const Results& r) {
    std::printf("\nList document, A4, %d lines x %d chars of Courier %g pt per page\n", kLinesPerPage, kCharsPerLine,
                static_cast<double>(kFontSize));
    std::printf(
        "(pages/s, MB/s of file; Q/haru, Q/cairo, Q/floor: QuillPdf throughput over theirs;\n"
        " Q-t/zlib: QuillPdf time over compress2 alone on the same contents;\n"
        " libharu has no LZW (its Flate is shown), cairo always deflates)\n\n");
    std::printf("%-5s %-5s | %9s %7s | %9s %7s | %9s %7s | %9s %7s | %8s %8s %8s %8s\n", "pages", "mode", "QuillPdf",
                "MB/s", "libharu", "MB/s", "cairo", "MB/s", "floor", "MB/s", "Q/haru", "Q/cairo", "Q/floor",
                "Q-t/zlib");
    for (int pages : kPageCounts) {
        for (Mode mode : kModes) {
            const char* name = ModeName(mode);
            const char* haruMode = mode == Mode::None ? "none" : "flate";
            const std::string q = Key("QuillPdf", pages, name);
            std::printf("%-5d %-5s |", pages, name);
            PrintCell(r, q, pages);
            std::printf(" |");
            PrintCell(r, Key("libharu", pages, haruMode), pages);
            std::printf(" |");
            PrintCell(r, Key("cairo", pages, "flate"), pages);
            std::printf(" |");
            PrintCell(r, Key("floor", pages, name), pages);
            std::printf(" |");
            PrintRatio(r, q, Key("libharu", pages, haruMode), false);
            PrintRatio(r, q, Key("cairo", pages, "flate"), false);
            PrintRatio(r, q, Key("floor", pages, name), false);
            if (mode == Mode::None)
                std::printf(" %8s", "");
            else
                PrintRatio(r, q, Key("zlib", pages, name), true);
            std::printf("\n");
        }
    }
#ifndef KV_HAVE_QUILL
    std::printf("\n(QuillPdf not built into this binary)\n");
#endif
}

// ---- the goals -----------------------------------------------------------------------------
//
// Each goal compares two workloads: its ratio is measured in rounds that run the two back to
// back, and is the median of the rounds' ratios. The verdict takes the processor time the
// workloads use (user and system, std::clock), which other programs on a shared machine do not
// inflate the way they do elapsed time; the elapsed-time ratio is printed beside it. A workload
// returns "" or what went wrong; the file it leaves is deleted outside the time measured.

struct Workload {
    std::function<std::string()> run;
    fs::path leaves;  // the file written, if any
};

struct Times {
    double cpu = 0, wall = 0;
};

Times TimeOnce(const Workload& w, std::string& error) {
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    error = w.run();
    const Times t{static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC,
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
    if (!w.leaves.empty()) {
        std::error_code ec;
        fs::remove(w.leaves, ec);
    }
    return t;
}

// Medians over the rounds of mine's times over other's; zeros when either failed.
Times PairedTimeRatio(const Workload& mine, const Workload& other, int rounds) {
    std::string error;
    TimeOnce(mine, error);  // warm-up
    if (!error.empty()) return {};
    TimeOnce(other, error);
    if (!error.empty()) return {};
    std::vector<double> cpu, wall;
    for (int r = 0; r < rounds; ++r) {
        const Times a = TimeOnce(mine, error);
        if (!error.empty()) return {};
        const Times b = TimeOnce(other, error);
        if (!error.empty() || b.cpu <= 0 || b.wall <= 0) return {};
        cpu.push_back(a.cpu / b.cpu);
        wall.push_back(a.wall / b.wall);
    }
    return {Median(cpu), Median(wall)};
}

struct Goal {
    const char* text;
    bool atMost;  // the ratio must stay at or below the target (else at or above it)
    double target;
};

void PrintGoalLine(const Goal& goal, const std::vector<std::pair<int, Times>>& ratios) {
    std::string cells;
    bool measured = true, met = true;
    for (const auto& [pages, ratio] : ratios) {
        char cell[64];
        if (ratio.cpu > 0) {
            met = met && (goal.atMost ? ratio.cpu <= goal.target : ratio.cpu >= goal.target);
            std::snprintf(cell, sizeof cell, "%s%d pages %.2f (elapsed %.2f)", cells.empty() ? "" : ", ", pages,
                          ratio.cpu, ratio.wall);
        } else {
            measured = false;
            std::snprintf(cell, sizeof cell, "%s%d pages -", cells.empty() ? "" : ", ", pages);
        }
        cells += cell;
    }
    std::printf("  %-56s %-60s %s\n", goal.text, cells.c_str(), !measured ? "NOT MEASURED" : met ? "MET" : "NOT MET");
}

[[maybe_unused]] int RoundsFor(int pages) { return pages <= 200 ? 15 : 5; }

void MeasureGoals(Context& ctx) {
    std::printf(
        "\nGoals (each ratio the median of rounds of its two sides run back to back, in processor time;\n"
        " elapsed time beside it)\n");
#ifdef KV_HAVE_QUILL
    const ListLines& lines = ctx.lines;
    auto document = [&ctx, &lines](Writer write, const char* name, int pages, Mode mode) {
        const fs::path path =
            ctx.dir.File(std::string("goal_") + name + "_" + std::to_string(pages) + "_" + ModeName(mode) + ".pdf");
        return Workload{[write, &lines, path, pages, mode] { return write(lines, path, pages, mode); }, path};
    };
    // Throughput ratios are the other side's time over QuillPdf's.
    auto inverse = [](Times t) { return t.cpu > 0 && t.wall > 0 ? Times{1 / t.cpu, 1 / t.wall} : Times{}; };
    std::vector<std::pair<int, Times>> floor, flate, lzw;
    for (int pages : kPageCounts) {
        const Times overFloor = FloorMatchesQuill(ctx).empty()
            ? inverse(PairedTimeRatio(document(WriteQuill, "QuillPdf", pages, Mode::None),
                                      document(WriteFloor, "floor", pages, Mode::None), RoundsFor(pages)))
            : Times{};
        floor.emplace_back(pages, overFloor);

        // zlib alone on the page contents of the uncompressed document.
        Times overZlib;
        const fs::path source = ctx.dir.File("goal_zlib_source.pdf");
        if (WriteQuill(lines, source, pages, Mode::None).empty()) {
            const std::vector<std::string> streams = UnencodedStreams(source);
            fs::remove(source);
            double input = 0;
            for (const auto& stream : streams) input += static_cast<double>(stream.size());
            auto out = std::make_shared<std::vector<Bytef>>(compressBound(static_cast<uLong>(input)));
            const Workload zlib{[&streams, out] {
                                    double output = 0;
                                    return CompressStreams(streams, ZlibLevel(Mode::Flate), *out, output)
                                        ? std::string()
                                        : std::string("compress2 failed");
                                },
                                {}};
            if (!streams.empty())
                overZlib =
                    PairedTimeRatio(document(WriteQuill, "QuillPdf", pages, Mode::Flate), zlib, RoundsFor(pages));
        }
        flate.emplace_back(pages, overZlib);

#ifdef KV_HAVE_HPDF
        lzw.emplace_back(
            pages,
            inverse(PairedTimeRatio(document(WriteQuill, "QuillPdf", pages, Mode::Lzw),
                                    document(WriteHaru, "libharu", pages, Mode::Flate), RoundsFor(pages))));
#else
        lzw.emplace_back(pages, Times{});
#endif
    }
    PrintGoalLine({"QuillPdf uncompressed >= 0.8 of the floor's throughput", false, 0.8}, floor);
    PrintGoalLine({"QuillPdf Flate <= 1.1x the time of zlib alone", true, 1.1}, flate);
    PrintGoalLine({"QuillPdf LZW >= 2.5x libharu with Flate", false, 2.5}, lzw);
#else
    (void)ctx;
    std::printf("  (QuillPdf not built into this binary: no goal measured)\n");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Context ctx;
    Register(ctx);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary(ctx.results);
    if (const char* skip = std::getenv("KV_BENCH_SKIP_GOALS"); !skip || !*skip) MeasureGoals(ctx);
    return 0;
}
