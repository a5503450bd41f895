// kvteso: the Fondo Tesoreria lists of the KvsPaghe payroll suite. Without arguments it opens the
// window; "--batch" runs the lists without it.
#include <iostream>
#include <string>
#include <vector>

#include "app/BatchRun.h"
#include "platform/Startup.h"
#include "window/WindowMain.h"

int main(int argc, char** argv) {
    kv::platform::PrepareProcess();
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            std::cout << kv::app::BatchUsage();
            return 0;
        }
    if (args.empty()) {
        if (kv::window::DisplayAvailable()) return kv::window::RunWindow(argc, argv);
        std::cerr << "kvteso: " << kv::platform::kNoWindowReason << "; use the batch run.\n\n" << kv::app::BatchUsage();
        return 2;
    }
    kv::app::BatchOptions options;
    if (!kv::app::ParseBatchOptions(args, options, std::cerr)) {
        std::cerr << "\n" << kv::app::BatchUsage();
        return 2;
    }
    return kv::app::RunBatch(options, std::cout, std::cerr);
}
