// kvdemo: writes a complete demo installation of the payroll suite for KVTESO.
//
//   kvdemo --root DIR [--companies N] [--employees M] [--period YYYYMM] [--additional-month]
//          [--seed S] [--registry FILE] [--printers STANDARD[,LASER]] [--quiet]
//
// DIR stands for the Windows drives (C:\ is DIR/C). See README.md, "Demo suite".
#include <chrono>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "archive/Errors.h"
#include "demo/Period.h"
#include "demo/SuitePlan.h"
#include "demo/SuiteWriter.h"
#include "platform/Encoding.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"

namespace {

constexpr std::string_view kUsage =
    "usage: kvdemo --root DIR [--companies N] [--employees M] [--period YYYYMM]\n"
    "              [--additional-month] [--seed S] [--registry FILE]\n"
    "              [--printers STANDARD[,LASER]] [--quiet]\n"
    "  --root DIR          folder that stands for the drives (C:\\ is DIR/C); required, but on\n"
    "                      Windows, where the suite goes on the drives themselves without it\n"
    "  --companies N       companies, 4 (the named cases) to 999; default 4\n"
    "  --employees M       employees in the extraction, at least the named cases, at most 10000\n"
    "  --period YYYYMM     extraction period; default 201803\n"
    "  --additional-month  the extraction is an additional month (month type \"0\")\n"
    "  --seed S            seed of the generated employees; default 2018\n"
    "  --registry FILE     settings store (registry INI file); default DIR/registry.ini\n"
    "  --printers S[,L]    the workstation's printer setting file: standard printer S and laser\n"
    "                      printer L, as the installed printers are named (for example the\n"
    "                      queues of tools/cups-sandbox.sh); default: no file, no printer\n"
    "  --quiet             print nothing but errors\n";

std::optional<int> ParseInt(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

struct CommandLine {
    kv::demo::DemoOptions options;
    std::vector<std::string> printers;
    bool quiet = false;
};

CommandLine Parse(int argc, char** argv) {
    CommandLine cl;
    bool haveRoot = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string_view {
            if (i + 1 >= argc) throw std::invalid_argument(std::string(arg) + " needs a value");
            return argv[++i];
        };
        auto number = [&]() {
            const std::string_view v = value();
            const auto n = ParseInt(v);
            if (!n) throw std::invalid_argument(std::string(arg) + ": not a number: " + std::string(v));
            return *n;
        };
        if (arg == "--root") {
            cl.options.root = std::string(value());
            haveRoot = true;
        } else if (arg == "--companies") {
            cl.options.companies = number();
        } else if (arg == "--employees") {
            cl.options.employees = number();
        } else if (arg == "--period") {
            const std::string_view v = value();
            const auto p = kv::demo::ExtractionPeriod::Parse(v);
            if (!p) throw std::invalid_argument("--period: expected YYYYMM, got " + std::string(v));
            cl.options.period = *p;
        } else if (arg == "--additional-month") {
            cl.options.additionalMonth = true;
        } else if (arg == "--seed") {
            cl.options.seed = static_cast<uint32_t>(number());
        } else if (arg == "--registry") {
            cl.options.registryFile = std::string(value());
        } else if (arg == "--printers") {
            const std::string v(value());
            const size_t comma = v.find(',');
            cl.printers = {kv::platform::Utf8ToCp1252(v.substr(0, comma))};
            if (comma != std::string::npos) cl.printers.push_back(kv::platform::Utf8ToCp1252(v.substr(comma + 1)));
            if (cl.printers.front().empty()) throw std::invalid_argument("--printers needs a standard printer name");
        } else if (arg == "--quiet") {
            cl.quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else {
            throw std::invalid_argument("unknown option " + std::string(arg));
        }
    }
    // On Windows the suite goes on the drives themselves unless a root is given.
    if (!haveRoot && !kv::platform::NativeDrives()) throw std::invalid_argument("--root is required");
    if (haveRoot) cl.options.root = std::filesystem::absolute(cl.options.root);
    if (!cl.options.registryFile.empty()) cl.options.registryFile = std::filesystem::absolute(cl.options.registryFile);
    return cl;
}

void PrintSummary(const kv::demo::DemoSummary& s, double seconds) {
    using kv::platform::Cp1252ToUtf8;
    std::cout << "Demo suite written under " << (s.root.empty() ? "the drives" : s.root.string()) << " in "
              << std::fixed << std::setprecision(2) << seconds << " s\n"
              << "  archive folder  " << s.archiveFolder << "  (" << s.archiveHostFolder.string() << ")\n"
              << "  settings store  " << s.registryFile.string() << "\n"
              << "  extraction      " << s.period.substr(4, 2) << "/" << s.period.substr(0, 4) << ", date "
              << s.extractionDate.substr(0, 2) << "/" << s.extractionDate.substr(2, 2) << "/"
              << s.extractionDate.substr(4, 4) << ", " << (s.additionalMonth ? "additional month" : "ordinary month")
              << ", " << s.extractionRecords << " extraction records\n"
              << "  companies       " << s.companies << "\n"
              << "  employees       " << s.employees << " (key " << s.missingKey
              << " deliberately left out of the index)\n";
    const std::size_t shown = std::min<std::size_t>(s.companyNames.size(), 8);
    for (std::size_t i = 0; i < shown; ++i)
        std::cout << "    " << kv::demo::ExtractionPeriod::Digits(s.companyNames[i].first, 3) << " "
                  << Cp1252ToUtf8(s.companyNames[i].second) << "\n";
    if (shown < s.companyNames.size()) std::cout << "    ... and " << s.companyNames.size() - shown << " more\n";
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine cl;
    try {
        cl = Parse(argc, argv);
    } catch (const std::invalid_argument& e) {
        std::cerr << "kvdemo: " << e.what() << "\n" << kUsage;
        return 2;
    }
    kv::platform::ConsoleMessageBoxes messages(std::cerr);
    try {
        const auto start = std::chrono::steady_clock::now();
        kv::demo::SuitePlan plan = kv::demo::MakePlan(cl.options);
        plan.printers = cl.printers;
        kv::demo::SuiteWriter writer(plan, messages);
        const kv::demo::DemoSummary summary = writer.Write();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!cl.quiet) PrintSummary(summary, seconds);
        return 0;
    } catch (const std::invalid_argument& e) {
        std::cerr << "kvdemo: " << e.what() << "\n";
        return 2;
    } catch (const kv::ProgramEnd& end) {
        std::cerr << "kvdemo: the archive layer stopped the generation\n";
        return end.exitCode != 0 ? end.exitCode : 1;
    } catch (const std::exception& e) {
        std::cerr << "kvdemo: " << e.what() << "\n";
        return 1;
    }
}
