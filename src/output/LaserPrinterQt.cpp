#include "output/LaserPrinter.h"

#include "archive/ArchiveContext.h"

namespace kv::output {

struct LaserPrinter::State {
    ArchiveContext& ctx;
    std::string standardName;
    std::string laserName;
    std::string current;
};

LaserPrinter::LaserPrinter(ArchiveContext& ctx) : state_(std::make_unique<State>(State{ctx, {}, {}, {}})) {}
LaserPrinter::~LaserPrinter() = default;

void LaserPrinter::LEGGISTAMPANTESTD() {}
bool LaserPrinter::CONTROLLOSTAMPANTE(const std::string&) { return false; }
const std::string& LaserPrinter::standardPrinterName() const { return state_->standardName; }
const std::string& LaserPrinter::laserPrinterName() const { return state_->laserName; }
std::string LaserPrinter::currentPrinterName() const { return state_->current; }
bool LaserPrinter::Check() { return CONTROLLOSTAMPANTE(state_->laserName); }
void LaserPrinter::SetFont(const std::string&, double, bool) {}
void LaserPrinter::PrintAt(int, int, const std::string&) {}
void LaserPrinter::NewPage() {}
void LaserPrinter::EndDoc() {}

}  // namespace kv::output
