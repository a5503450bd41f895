#pragma once
// The headless run: the same driver as the window's "Crea PDF", for chosen lists and companies, with
// messages on the terminal and questions taking their safe answer; and, with --xlsx, each list's
// workbook of the month with its summary printed on the terminal.
#include <iosfwd>
#include <string>
#include <vector>

namespace kv::app {

struct BatchOptions {
    bool pdf = false;
    std::vector<std::string> lists;  // CF01, CF02, TF02, TF02A, CF11, RECU, TF14; empty = all
    std::vector<std::string> companies;  // three-digit codes; empty = all
    std::string root;  // where the Windows drives lie (default: KVTESO_ROOT, ~/.kvteso)
    std::string registry;  // settings store file (default: KVTESO_REGISTRY, the user's config)
    bool xlsx = false;  // write each list's workbook of the month
};

// Parses the command line after the program name. false (with a message on err) on a bad option.
bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& options, std::ostream& err);

std::string BatchUsage();

// Runs the batch; the exit status is 0 when every list of every chosen company was produced (and
// every workbook asked for was written), 3 when a list was made from damaged data; the employees left
// out or read from damaged data go to err.
int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace kv::app
