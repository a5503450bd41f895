#pragma once
// Where a list goes: the printer or a PDF document. One sink serves a whole run; the list engine
// calls it for every company's list.
#include <string>

namespace kv::lists {

struct ListInfo;
struct ListLayout;

// A printed list checks its printer before it selects anybody, while a PDF document is made only for
// a company that lists somebody; one legend line differs between them too.
enum class Medium { Paper, Pdf };

// Where a list's lines go on the sink's pages, in centimetres from the top.
struct PageGeometry {
    double top;  // the first line of each header block
    double afterHeader;  // the first employee line after it
};

class ReportSink {
public:
    virtual ~ReportSink() = default;

    // Starts one company's list. The printer checks its printer and sets the font; the PDF sink
    // prepares the folder and opens the document with its first page. False: nothing can be written
    // for this company (the list ends at once).
    virtual bool BeginList(const ListInfo& list, const ListLayout& layout) = 0;
    // Called at the start of every header block (the PDF sink selects the font there).
    virtual void BeginPageHeader(const ListLayout& layout) = 0;
    virtual void NewPage() = 0;
    // Writes one text at (y, x), in centimetres from the top-left corner of the page.
    virtual void WriteText(double y, double x, const std::string& text) = 0;
    virtual Medium medium() const = 0;
    virtual PageGeometry Geometry(const ListLayout& layout) const = 0;
    // True when the list's document could not get the protection the installation asks for, because
    // the installation's fiscal record was missing when it was opened.
    virtual bool ProtectionDataMissing() const { return false; }
};

}  // namespace kv::lists
