#pragma once
// A workbook read back after it was written: the spreadsheet library builds each part in a
// temporary file and does not notice when that file was cut short (a full disk), so a workbook can
// come out with a part cut and a valid package around it. This check finds that.
#include <string>
#include <string_view>

namespace kv::output {

// The name of the first part of the zip package that is not whole: its data does not inflate to its
// size and checksum, or an XML part does not end with its root element's end tag. "" when every part
// is whole; the package's own directory is named "directory".
std::string DamagedPart(std::string_view package);

}  // namespace kv::output
