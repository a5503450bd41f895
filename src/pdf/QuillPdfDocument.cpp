// Document level of QuillPdf: opening and closing the file, indirect objects
// and streams, the resource dictionaries, page tree, catalog, information
// dictionary, XMP metadata, cross-reference table and trailer, and the error
// record.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <random>

#include "pdf/Filters.h"
#include "pdf/PdfFormat.h"
#include "pdf/Protection.h"
#include "pdf/QuillPdfImpl.h"

namespace quill {

namespace {

constexpr uint64_t kNotWritten = UINT64_MAX;
constexpr char kDefaultTitle[] = "(senza titolo)";

// The moment a document is made: SOURCE_DATE_EPOCH (seconds since 1970) read in UTC when it is set,
// for files that come out the same on every run and system; else now, in local time.
std::tm CreationTime() {
    static std::mutex clock;  // the C library's calendar conversions share one result
    const std::lock_guard<std::mutex> hold(clock);
    if (const char* fixed = std::getenv("SOURCE_DATE_EPOCH"); fixed != nullptr && *fixed != '\0') {
        long long seconds = 0;
        const char* end = fixed + std::strlen(fixed);
        const auto [at, ec] = std::from_chars(fixed, end, seconds);
        const std::time_t moment = static_cast<std::time_t>(seconds);
        if (ec == std::errc() && at == end && seconds >= 0)
            if (const std::tm* t = std::gmtime(&moment)) return *t;
    }
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    return t != nullptr ? *t : std::tm{};
}

void AppendTwoDigits(std::string& out, int value) {
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

std::string CreationDateNow() {
    const std::tm t = CreationTime();
    std::string out = "D:";
    AppendInteger(out, t.tm_year + 1900);
    AppendTwoDigits(out, t.tm_mon + 1);
    AppendTwoDigits(out, t.tm_mday);
    AppendTwoDigits(out, t.tm_hour);
    AppendTwoDigits(out, t.tm_min);
    AppendTwoDigits(out, t.tm_sec);
    out += "Z+01'00'";
    return out;
}

// "D:yyyymmddhhmmss..." as an XMP date "yyyy-mm-ddThh:mm:ss+01:00".
std::string XmpDate(const std::string& pdfDate) {
    std::string digits;
    for (size_t i = 2; i < pdfDate.size() && digits.size() < 14; ++i) {
        if (pdfDate[i] >= '0' && pdfDate[i] <= '9')
            digits.push_back(pdfDate[i]);
        else
            break;
    }
    digits.resize(14, '0');
    return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2) + "T" + digits.substr(8, 2) +
        ":" + digits.substr(10, 2) + ":" + digits.substr(12, 2) + "+01:00";
}

// Text for an XML element: markup characters escaped, bytes above 127 written
// as character references of their Windows-1252 code points, control bytes
// dropped, so the packet stays plain ASCII whatever the properties hold.
std::string XmlText(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\'': out += "&apos;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (c >= 0x80) {
                out += "&#";
                AppendInteger(out, Cp1252ToUnicode(c));
                out.push_back(';');
            } else if (c >= 0x20 || c == '\t') {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    return out;
}

}  // namespace

QuillPdf::Impl::Impl()
    : lzw_(std::make_unique<LzwEncoder>()), rc4_(std::make_unique<Rc4>()), protection_(std::make_unique<Protection>()) {
    ResetState();
}

QuillPdf::Impl::~Impl() { file_.Discard(); }

void QuillPdf::Impl::Abort() {
    file_.Discard();
    ResetState();
}

void QuillPdf::Impl::ResetState() {
    outputPath_.clear();
    lastFileSize_ = 0;
    title_ = kDefaultTitle;
    subject_.clear();
    keywords_.clear();
    author_.clear();
    creator_ = kLibraryName;  // the caller names its own program through SetDocProperty
    producer_ = kLibraryName;
    creationDate_ = fixedCreationDate_.empty() ? CreationDateNow() : fixedCreationDate_;
    scale_ = 1;
    paperWidth_ = 596;
    paperHeight_ = 842;
    marginLeft_ = marginRight_ = marginTop_ = marginBottom_ = 0;
    clip_ = 0;
    defaultView_ = currentView_ = 0;
    viewerPreferences_ = 0;
    compression_ = 0;
    compressionQuality_ = 0;
    memoryUsage_ = 1;
    highestObject_ = 0;
    currentObject_ = 0;
    offsets_.clear();
    pageCount_ = 0;
    pageObjects_.clear();
    kids_.clear();
    pageOpen_ = false;
    versionIncrement_ = 0;
    error_ = {};
    *protection_ = Protection{};
    outlineRootTitle_ = title_;
    pageLabels_.clear();
    fontResources_.clear();
    alphaResources_.clear();
    alphaCount_ = 0;

    content_.clear();
    annotations_.clear();
    graphics_ = {};
    defaultTransition_.clear();
    currentTransition_.clear();
    defaultDuration_ = currentDuration_ = 0;

    fonts_.clear();
    text_ = {};
    textRunHead_.font = -1;
    bookmarks_.clear();
    dests_.clear();
    linkCount_ = 0;
    drawn_ = false;
    outlineObject_ = destsObject_ = 0;
    images_.clear();
    xobjectResources_.clear();
}

int32_t QuillPdf::Impl::FileSize() const {
    if (file_.IsOpen()) return static_cast<int32_t>(std::min<uint64_t>(file_.Position(), INT32_MAX));
    return lastFileSize_;
}

void QuillPdf::Impl::SetFileBusyHandler(std::function<bool()> handler) { fileBusyHandler_ = std::move(handler); }

void QuillPdf::Impl::SetFixedCreationDate(const std::string& pdfDate) {
    fixedCreationDate_ = pdfDate;
    if (!pdfDate.empty()) creationDate_ = pdfDate;
}

void QuillPdf::Impl::SetDocProperty(const std::string& title, const std::string& subject, const std::string& author,
                                    const std::string& creator, const std::string& producer,
                                    const std::string& keywords) {
    title_ = title;
    subject_ = subject;
    keywords_ = keywords;
    outlineRootTitle_ = title;
    if (!author.empty()) author_ = author;
    if (!creator.empty()) creator_ = creator;
    if (!producer.empty()) producer_ = producer;
}

void QuillPdf::Impl::SetMemoryUsage(int16_t factor) {
    if (factor >= 0 && factor < 11) memoryUsage_ = factor;
}

void QuillPdf::Impl::SetViewerPreferences(int32_t mode) { viewerPreferences_ = mode; }

void QuillPdf::Impl::SetCompression(int32_t mode, int quality) {
    if (mode < 0 || mode > 31) return;
    compression_ = static_cast<uint32_t>(mode);
    compressionQuality_ = std::clamp(quality, 0, 3);
}

void QuillPdf::Impl::SetProtection(int32_t mode, const std::string& owner, const std::string& user) {
    *protection_ = ComputeProtection(static_cast<uint32_t>(mode), owner, user, producer_);
    if (protection_->is128) RequireVersion(1);
}

void QuillPdf::Impl::RequireVersion(int32_t increment) {
    if (increment > versionIncrement_) versionIncrement_ = increment;
}

void QuillPdf::Impl::RecordError(const char* procedure, const Error& error, const std::string& extra) {
    error_.number = error.number;
    error_.source = std::string("QuillPdf.") + procedure;
    error_.description = extra.empty() ? error.description : extra + " - " + error.description;
}

// ---- low-level output -----------------------------------------------------

void QuillPdf::Impl::WriteLine(std::string_view text) {
    file_.Write(text);
    file_.Put('\n');
}

void QuillPdf::Impl::StartIndirectObject(uint32_t& number) {
    if (number == 0) number = highestObject_ + 1;
    if (number > highestObject_) highestObject_ = number;
    if (number >= offsets_.size()) {
        // Grow by the memory usage factor so that long documents reallocate rarely.
        size_t bound = memoryUsage_ <= 1 ? number + 10
                                         : number + 10 + static_cast<size_t>(std::lround(memoryUsage_ * number / 5.0));
        bound = std::max<size_t>(bound, static_cast<size_t>(std::max(memoryUsage_, 1)) * 10);
        offsets_.resize(std::max(bound, offsets_.size() * 3 / 2), kNotWritten);
    }
    offsets_[number] = file_.Position();
    currentObject_ = number;
    char line[32];
    auto [end, ec] = std::to_chars(line, line + 16, number);
    (void)ec;
    std::memcpy(end, " 0 obj\n", 7);
    file_.Write(std::string_view(line, static_cast<size_t>(end - line) + 7));
}

void QuillPdf::Impl::EndIndirectObject() { WriteLine("endobj"); }

void QuillPdf::Impl::WriteStream(std::string& data, uint32_t objectNumber, std::string filterText, int32_t length1) {
    const std::string applied = ApplyFilters(data, compression_, compressionQuality_, !filterText.empty(), *lzw_);
    filterText.insert(0, applied);
    if (protection_->on) rc4_->Rc4Crypt(protection_->ObjectKey(objectNumber), data);
    if (!filterText.empty()) {
        std::string line = "/Filter [";
        line += filterText;
        line += ']';
        WriteLine(line);
    }
    if (length1 > 0) {
        std::string line = "/Length1 ";
        AppendInteger(line, length1);
        WriteLine(line);
    }
    std::string head = "/Length ";
    AppendInteger(head, static_cast<int64_t>(data.size()));
    head += " >>\rstream\n";
    file_.Write(head);
    file_.Write(data);
    file_.Write("\nendstream\n");
}

uint32_t QuillPdf::Impl::WriteScriptObject(const std::string& text) {
    uint32_t number = 0;
    StartIndirectObject(number);
    WriteLine("<<");
    std::string data = text;
    WriteStream(data, number);
    EndIndirectObject();
    return number;
}

std::string QuillPdf::Impl::PdfString(std::string_view text) {
    std::string out = "(";
    if (protection_->on && !text.empty()) {
        std::string encrypted(text);
        rc4_->Rc4Crypt(protection_->ObjectKey(currentObject_), encrypted);
        AppendEscaped(out, encrypted);
    } else {
        AppendEscaped(out, text);
    }
    out.push_back(')');
    return out;
}

// ---- opening --------------------------------------------------------------

std::string QuillPdf::Impl::GeneratedFileName() const {
    const std::tm t = CreationTime();
    std::random_device device;
    const unsigned digit = device() % 10;
    // "dhhmmss" and one random digit, read as a number and written in hexadecimal.
    uint64_t value = static_cast<uint64_t>(t.tm_mday);
    value = value * 100 + static_cast<uint64_t>(t.tm_hour);
    value = value * 100 + static_cast<uint64_t>(t.tm_min);
    value = value * 100 + static_cast<uint64_t>(t.tm_sec);
    value = value * 10 + digit;
    char hex[24];
    auto [end, ec] = std::to_chars(hex, hex + sizeof hex, value, 16);
    (void)ec;
    std::string name(hex, end);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name + "~.pdf";
}

std::string QuillPdf::Impl::BeginDoc(const std::string& fileName) {
    file_.Discard();
    const std::string name = fileName.empty() ? GeneratedFileName() : fileName;
    for (;;) {
        // An earlier file of that name is replaced only when the new one is complete (EndDoc).
        const Error error = file_.Open(name);
        if (error.number == 0) break;
        if (error.number == 70 && fileBusyHandler_ && fileBusyHandler_()) continue;
        RecordError("BeginDoc", error);
        break;
    }
    outputPath_ = name;
    if (!file_.IsOpen()) return name;

    WriteLine("%PDF-1.3");
    std::string comment = "% ";
    comment += kLibraryName;
    comment += " rel. ";
    comment += kLibraryVersion;
    WriteLine(comment);
    highestObject_ = 3;
    // Fonts selected before the file was opened get their objects now.
    for (FontRecord& font : fonts_) {
        if (font.objectNumber == 0) WriteFontObject(font);
    }
    return name;
}

// ---- closing --------------------------------------------------------------

void QuillPdf::Impl::WriteResourceDictionary(uint32_t number, bool forPages) {
    StartIndirectObject(number);
    std::string text = "<<\r";
    if (!fontResources_.empty()) {
        text += "/Font <<";
        text += fontResources_;
        text += ">>\r";
    }
    text += images_.empty() ? "/ProcSet [/PDF /Text ]\r" : "/ProcSet [/PDF /Text /ImageB /ImageC /ImageI ]\r";
    if (!xobjectResources_.empty()) {
        text += "/XObject <<";
        text += xobjectResources_;
        text += ">>\r";
    }
    if (!alphaResources_.empty()) {
        text += "/ExtGState << ";
        text += alphaResources_;
        text += " >> ";
    }
    (void)forPages;  // patterns and their colour space are not offered yet
    text += ">>";
    WriteLine(text);
    EndIndirectObject();
}

void QuillPdf::Impl::WriteMetadataObject(uint32_t& number) {
    const std::string producer = XmlText(producer_), author = XmlText(author_), creator = XmlText(creator_),
                      title = XmlText(title_), subject = XmlText(subject_), keywords = XmlText(keywords_),
                      date = XmpDate(creationDate_);
    std::string body;
    body +=
        "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#' "
        "xmlns:iX='http://ns.adobe.com/iX/1.0/'>\r";
    body += "<rdf:Description rdf:about='' xmlns:pdf='http://ns.adobe.com/pdf/1.3/'>\r";
    body += "<pdf:Producer>" + producer + "</pdf:Producer>\r";
    body += "<pdf:Author>" + author + "</pdf:Author>\r";
    body += "<pdf:Creator>" + creator + "</pdf:Creator>\r";
    body += "<pdf:ModDate>" + date + "</pdf:ModDate>\r";
    body += "<pdf:Title>" + title + "</pdf:Title>\r";
    body += "<pdf:CreationDate>" + date + "</pdf:CreationDate>\r";
    body += "<pdf:Subject>" + subject + "</pdf:Subject>\r";
    body += "<pdf:Keywords>" + keywords + "</pdf:Keywords>\r";
    body += "</rdf:Description>\r";
    body += "<rdf:Description rdf:about='' xmlns:xap='http://ns.adobe.com/xap/1.0/'>\r";
    body += "<xap:Author>" + author + "</xap:Author>\r";
    body += "<xap:ModifyDate>" + date + "</xap:ModifyDate>\r";
    body += "<xap:Title><rdf:Alt><rdf:li xml:lang='x-default'>" + title + "</rdf:li></rdf:Alt></xap:Title>\r";
    body += "<xap:CreateDate>" + date + "</xap:CreateDate>\r";
    body +=
        "<xap:Description><rdf:Alt><rdf:li xml:lang='x-default'>" + subject + "</rdf:li></rdf:Alt></xap:Description>\r";
    body += "<xap:MetadataDate>" + date + "</xap:MetadataDate>\r";
    body += "</rdf:Description>\r";
    body += "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>\r";
    body += "<dc:creator><rdf:Seq><rdf:li>" + author + "</rdf:li></rdf:Seq></dc:creator>\r";
    body += "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>" + title + "</rdf:li></rdf:Alt></dc:title>\r";
    body +=
        "<dc:description><rdf:Alt><rdf:li xml:lang='x-default'>" + subject + "</rdf:li></rdf:Alt></dc:description>\r";
    body += "</rdf:Description>\r";
    body += "</rdf:RDF>\r";
    const std::string tail = "<?xpacket end='r'?>";
    const std::string headStart = "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d' bytes='";
    const std::string headEnd = "'?>\r";
    // The declared size counts the whole packet, its own digits included.
    size_t fixed = headStart.size() + headEnd.size() + body.size() + tail.size();
    size_t total = fixed + 1;
    while (std::to_string(total).size() + fixed != total) total = fixed + std::to_string(total).size();
    std::string packet = headStart + std::to_string(total) + headEnd + body + tail;

    StartIndirectObject(number);
    WriteLine("<< /Type /Metadata /Subtype /XML");
    WriteStream(packet, number);
    EndIndirectObject();
}

uint32_t QuillPdf::Impl::WriteCatalog(uint32_t metadataObject) {
    uint32_t number = 0;
    StartIndirectObject(number);
    WriteLine("<< /Type /Catalog");
    WriteLine("/Pages 1 0 R");
    if (outlineObject_ != 0) WriteLine("/Outlines " + std::to_string(outlineObject_) + " 0 R");
    if (!pageLabels_.empty()) {
        static constexpr const char* kStyles[] = {"", " /S /D", " /S /R", " /S /r", " /S /A", " /S /a"};
        std::string labels = "/PageLabels << /Nums [ ";
        for (const LabelRange& range : pageLabels_) {
            AppendInteger(labels, range.pageIndex);
            labels += " << ";
            labels += kStyles[range.style];
            if (!range.prefix.empty()) labels += " /P " + PdfString(range.prefix);
            if (range.firstValue != -1) {
                labels += " /St ";
                AppendInteger(labels, range.firstValue);
            }
            labels += " >> ";
        }
        labels += " ] >>";
        WriteLine(labels);
    }
    if (metadataObject != 0) WriteLine("/Metadata " + std::to_string(metadataObject) + " 0 R");
    if (destsObject_ != 0) WriteLine("/Dests " + std::to_string(destsObject_) + " 0 R");

    const int32_t flags = viewerPreferences_;
    const uint32_t layout = static_cast<uint32_t>(flags) & 0xFFFFF000u;
    if (layout == 0x2000)
        WriteLine("/PageLayout /OneColumn");
    else if (layout == 0x4000)
        WriteLine("/PageLayout /TwoColumnLeft");
    else if (layout == 0xFFFF8000u)
        WriteLine("/PageLayout /TwoColumnRight");
    switch (flags & 0xF) {
    case 1: WriteLine("/PageMode /FullScreen"); break;
    case 2:  // outlines are shown only when the document has bookmarks
        if (outlineObject_ != 0) WriteLine("/PageMode /UseOutlines");
        break;
    case 4: WriteLine("/PageMode /UseThumbs"); break;
    case 8:
        WriteLine("/PageMode /UseOC");
        RequireVersion(2);
        break;
    default: break;
    }
    std::string prefs = "/ViewerPreferences << ";
    if (flags & 0x10) prefs += "/HideMenubar true ";
    if (flags & 0x20) prefs += "/HideToolbar true ";
    if (flags & 0x40) prefs += "/HideWindowUI true ";
    if (flags & 0x80) {
        prefs += "/DisplayDocTitle true ";
        RequireVersion(1);
    }
    if (flags & 0x100) prefs += "/CenterWindow true ";
    if (flags & 0x200) prefs += "/FitWindow true ";
    prefs += " >>";
    WriteLine(prefs);
    WriteLine(">>");
    EndIndirectObject();
    return number;
}

uint32_t QuillPdf::Impl::WriteInfoDictionary() {
    uint32_t number = 0;
    StartIndirectObject(number);
    WriteLine("<<");
    // Text strings, unlike page text, are read in PDFDocEncoding.
    WriteLine("/Title " + PdfTextString(title_));
    WriteLine("/Author " + PdfTextString(author_));
    WriteLine("/Creator " + PdfTextString(creator_));
    WriteLine("/Producer " + PdfTextString(producer_));
    WriteLine("/CreationDate " + PdfString(creationDate_));
    WriteLine("/Subject " + PdfTextString(subject_));
    WriteLine("/Keywords " + PdfTextString(keywords_));
    WriteLine(">>");
    EndIndirectObject();
    return number;
}

bool QuillPdf::Impl::WriteXrefAndTrailer(uint32_t catalog, uint32_t info, uint32_t encrypt) {
    const uint64_t xrefOffset = file_.Position();
    WriteLine("xref");
    WriteLine("0 " + std::to_string(highestObject_ + 1));
    WriteLine("0000000000 65535 f\r");
    char entry[21];
    for (uint32_t n = 1; n <= highestObject_; ++n) {
        const uint64_t offset = n < offsets_.size() ? offsets_[n] : kNotWritten;
        if (offset == kNotWritten) {
            std::memcpy(entry, "0000000000 65535 f\r\n", 20);
        } else {
            uint64_t v = offset;
            for (int i = 9; i >= 0; --i) {
                entry[i] = static_cast<char>('0' + v % 10);
                v /= 10;
            }
            std::memcpy(entry + 10, " 00000 n\r\n", 10);
        }
        file_.Write(std::string_view(entry, 20));
    }
    WriteLine("trailer");
    std::string trailer = "<< /Size " + std::to_string(highestObject_ + 1) + " /Info " + std::to_string(info) +
        " 0 R /Root " + std::to_string(catalog) + " 0 R";
    WriteLine(trailer);
    if (encrypt != 0) {
        const std::string id = ToUpperHex(protection_->fileId);
        WriteLine("/Encrypt " + std::to_string(encrypt) + " 0 R /ID [<" + id + "><" + id + ">]");
    }
    WriteLine(">>");
    WriteLine("startxref");
    WriteLine(std::to_string(xrefOffset));
    WriteLine("%%EOF");
    return true;
}

void QuillPdf::Impl::EndDoc() {
    if (!file_.IsOpen()) return;
    if (pageCount_ == 0) BeginPage();
    if (pageOpen_) EndPage();
    outlineObject_ = bookmarks_.empty() ? 0 : WriteOutline();

    uint32_t encrypt = 0;
    if (protection_->on) {
        StartIndirectObject(encrypt);
        std::string text = "<< /Filter /Standard \r/O (";
        AppendEscaped(text, protection_->O);
        text += ")\r/U (";
        AppendEscaped(text, protection_->U);
        text += ")\r/P ";
        // Permissions as a signed number that fits in 16 bits (-44, not 4294967252).
        AppendInteger(text, static_cast<int16_t>(protection_->P & 0xFFFF));
        text += protection_->objectKeyLength >= 16 ? "\r/V 2 /R 3 /Length 128 >>" : "\r/V 1 /R 2 >>";
        WriteLine(text);
        EndIndirectObject();
    }

    uint32_t metadata = 0;
    WriteMetadataObject(metadata);
    destsObject_ = dests_.empty() ? 0 : WriteNamedDests();

    WriteResourceDictionary(3, false);
    WriteResourceDictionary(2, true);

    uint32_t root = 1;
    StartIndirectObject(root);
    WriteLine("<<");
    WriteLine("/Type /Pages /Count " + std::to_string(pageCount_));
    WriteLine("/Kids [" + kids_ + "] ");
    WriteLine(">>");
    EndIndirectObject();

    const uint32_t catalog = WriteCatalog(metadata);
    const uint32_t info = WriteInfoDictionary();
    WriteXrefAndTrailer(catalog, info, encrypt);

    if (versionIncrement_ > 0) {
        const char digit = static_cast<char>('0' + std::min(3 + versionIncrement_, 9));
        file_.Rewrite(7, std::string_view(&digit, 1));
    }
    lastFileSize_ = static_cast<int32_t>(std::min<uint64_t>(file_.Position(), INT32_MAX));
    const Error error = file_.Close();
    if (error) RecordError("EndDoc", error);
}

}  // namespace quill
