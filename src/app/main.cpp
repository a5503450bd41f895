// kvteso: the Fondo Tesoreria lists of the KvsPaghe payroll suite.
#include <iostream>
#include <string>
#include <vector>

#include "app/BatchRun.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            std::cout << kv::app::BatchUsage();
            return 0;
        }
    if (args.empty()) {
        std::cerr << "kvteso: the window is not available in this build; use the batch run.\n\n"
                  << kv::app::BatchUsage();
        return 2;
    }
    kv::app::BatchOptions options;
    if (!kv::app::ParseBatchOptions(args, options, std::cerr)) {
        std::cerr << "\n" << kv::app::BatchUsage();
        return 2;
    }
    return kv::app::RunBatch(options, std::cout);
}
