#pragma once
// A workbook read back after it was written: the spreadsheet library builds each part in a
// temporary file and does not notice when that file was cut short (a full disk), so a workbook can
// come out with a part cut and a valid package around it. This check finds that. A part the library
// writes its own way (the properties naming the program) is replaced in the package before it is checked.
#include <string>
#include <string_view>

namespace kv::output {

// The name of the first part of the zip package that is not whole: its data does not inflate to its
// size and checksum, or an XML part does not end with its root element's end tag. "" when every part
// is whole; the package's own directory is named "directory".
std::string DamagedPart(std::string_view package);

// The package with the part `name` holding `content` (stored, unpacked) and every other part as it
// was; the package unchanged when it has no such part or its directory cannot be read.
std::string WithPart(std::string_view package, const std::string& name, const std::string& content);

// The text of the part `name` ("" when it is missing or damaged).
std::string PartText(std::string_view package, const std::string& name);

}  // namespace kv::output
