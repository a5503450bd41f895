#include "pdf/QuillPdf.h"

namespace quill {

std::string QuillPdf::Version() const { return kLibraryVersion; }

}  // namespace quill
