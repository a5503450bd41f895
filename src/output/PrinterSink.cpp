#include "output/PrinterSink.h"

#include <cmath>

#include "lists/ListCatalogue.h"
#include "lists/ListLayout.h"

namespace kv::output {

bool PrinterSink::BeginList(const lists::ListInfo& list, const lists::ListLayout& layout) {
    if (!printer_.Check()) return false;
    printer_.SetList(list.code);
    printer_.SetFont("Courier New", layout.fontSize, false);
    return true;
}

int PrinterSink::XTwips(double xCm) { return static_cast<int>(std::floor((xCm - 0.3) * 567)); }
int PrinterSink::YTwips(double yCm) { return static_cast<int>(std::floor((yCm - 0.6) * 567)); }

void PrinterSink::WriteText(double y, double x, const std::string& text) {
    printer_.PrintAt(XTwips(x), YTwips(y), text);
}

}  // namespace kv::output
