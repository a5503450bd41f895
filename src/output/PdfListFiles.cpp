#include "output/PdfListFiles.h"

#include <system_error>

#include "archive/Errors.h"
#include "archive/LegacyText.h"
#include "archive/SuiteFields.h"
#include "output/Leftovers.h"
#include "platform/Encoding.h"
#include "platform/FileAccess.h"

namespace kv::output {

// The documents' creator when the installation has no name of its own.
constexpr char kProgramName[] = "KVTESO - Stampe Fondo Tesoreria";

PdfListFiles::PdfListFiles(ArchiveFiles& files, FieldRepository& repo, const Settings& settings,
                           const platform::PathMap& paths)
    : files_(files), repo_(repo), settings_(settings), paths_(paths) {}

PdfListFiles::~PdfListFiles() = default;

quill::QuillPdf& PdfListFiles::writer() {
    if (!pdf_) {
        pdf_ = std::make_unique<quill::QuillPdf>();
        if (fileBusy_) pdf_->SetFileBusyHandler(fileBusy_);
        if (!fixedDate_.empty()) pdf_->SetFixedCreationDate(fixedDate_);
    }
    return *pdf_;
}

std::filesystem::path PdfListFiles::HostPath(const std::string& suitePath) const {
    // Suite paths carry the archive's Windows-1252 bytes (a company name with "Ò"); file names on
    // this host are UTF-8. Control characters (a NUL would cut the name short) never reach the
    // file system: Windows refuses them in names anyway.
    std::string cleaned = suitePath;
    for (char& c : cleaned)
        if (static_cast<unsigned char>(c) < 0x20) c = '_';
    return paths_.FromSuite(cleaned);
}

bool PdfListFiles::IsFolderName(const std::string& part) {
    if (part.empty() || part.find_first_not_of('.') == std::string::npos) return false;
    for (unsigned char c : part)
        if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    return true;
}

namespace {
// A part of a folder name as the error shows it: its control bytes as "?".
std::string Shown(std::string part) {
    for (char& c : part)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return "\"" + part + "\"";
}

[[noreturn]] void BadFolderPart(const std::string& what) {
    throw RuntimeError(err::PathFileAccess, DescriptionOf(err::PathFileAccess) + " - " + what);
}
}  // namespace

void PdfListFiles::CheckPeriod(const std::string& period) {
    const bool digits = period.size() == 6 && period.find_first_not_of("0123456789") == std::string::npos;
    const int year = digits ? std::stoi(period.substr(0, 4)) : 0, month = digits ? std::stoi(period.substr(4)) : 0;
    if (year < 1900 || year > 2999 || month < 1 || month > 12)
        BadFolderPart("the extraction period " + Shown(period) + " is not a month YYYYMM");
}

void PdfListFiles::MakeFolder(const std::string& folder) {
    const std::filesystem::path host = HostPath(folder);
    std::error_code ec;
    if (std::filesystem::is_directory(host, ec)) return;
    std::filesystem::create_directory(host, ec);
    if (ec || !std::filesystem::is_directory(host))
        throw RuntimeError(err::PathFileAccess, DescriptionOf(err::PathFileAccess) + " - " + folder);
}

std::string PdfListFiles::RootOf(const std::string& archiveFolder) {
    const std::string archive = TrimBlanks(archiveFolder);
    if (archive.size() <= 3) return archive.substr(0, 2);
    const size_t slash = archive.rfind('\\');
    return slash == std::string::npos ? archive : archive.substr(0, slash);
}

void PdfListFiles::CREACARTELLEPDF(const std::string& company, const std::string& kind, const std::string& period) {
    const std::string year = period.substr(0, 4);
    const std::string month = RightChars(period, 2);
    pdfRoot_ = RootOf(settings_.archiveFolder);
    // The parts come from the company record and the extraction header: a damaged one ("..", "\\",
    // month 13) must never become a folder, let alone lead the files out of the tree.
    CheckPeriod(period);
    if (company.size() != 3 || company.find_first_not_of("0123456789") != std::string::npos)
        BadFolderPart("the company code " + Shown(company) + " is not three digits");
    if (!IsFolderName(kind)) BadFolderPart(Shown(kind));
    std::string folder = pdfRoot_ + "\\FILE-PDF";
    MakeFolder(folder);
    for (const std::string& part : {company, year, month, kind}) {
        folder += "\\" + part;
        MakeFolder(folder);
    }
    outputFolder_ = folder;
    RemoveLeftovers(HostPath(folder), ".pdf", started_);
}

void PdfListFiles::PULISCINOMEFILE(std::string& name) {
    if (!name.empty() && name.back() == '.') name.pop_back();
    for (char& c : name) {
        switch (c) {
        case '*':
        case '|':
        case '\\':
        case ':':
        case '<':
        case '>':
        case '?':
        case '/':
        case '"': c = '_'; break;
        default: break;
        }
    }
}

void PdfListFiles::WriterError(const std::string& operation) {
    const int number = pdf_ ? pdf_->ErrNumber() : err::DeviceIo;
    std::string description = pdf_ ? pdf_->ErrDescription() : DescriptionOf(number);
    if (description.empty()) description = DescriptionOf(number);
    throw RuntimeError(number ? number : err::DeviceIo, description + " (" + operation + " " + filePath_ + ")");
}

void PdfListFiles::APRIPDF(const std::string& prefix) {
    PDFCREATI = true;
    const std::string name = TrimBlanks(TrimBlanks(repo_.RepoR(fields::T002)).substr(0, 30));
    fileName_ = prefix + repo_.RepoR(fields::T001) + "_" + name + ".pdf";
    if (fileName_.size() >= 5 && fileName_.compare(fileName_.size() - 5, 5, "_.pdf") == 0)
        fileName_.erase(fileName_.size() - 5, 1);
    // A company name ending in "." loses that dot: the cleaning sees the name before its extension.
    if (fileName_.size() >= 5 && fileName_.compare(fileName_.size() - 5, 5, "..pdf") == 0)
        fileName_.erase(fileName_.size() - 5, 1);
    PULISCINOMEFILE(fileName_);
    filePath_ = outputFolder_ + "\\" + fileName_;
    hostFilePath_ = HostPath(filePath_);

    quill::QuillPdf& pdf = writer();
    const std::string creator = settings_.installationName.empty() ? kProgramName : settings_.installationName;
    pdf.SetDocProperty("PDF" + prefix, "", "Velmora Vivirid", creator, "Velmora Vivirid", "");
    pdf.SetScale(quill::Unit::Centimetres, 1.0f);
    pdf.SetPaperSize(quill::Paper::A4, 0, 0);
    pdf.SetMargins(0, 0, 0, 0, quill::Clip::On);
    pdf.SetPageView(quill::PageView::Upright);
    pdf.SetViewerPreferences(quill::Viewer::CenterWindow | quill::Viewer::FitWindow);
    pdf.SetCompression(quill::Filter::Lzw, 3);

    if (!files_.IsOpen(archive::InstallationFis)) {
        files_.FAIOPEN(archive::InstallationFis);
        fiscalRecordMissing_ = files_.LEGGIREC(archive::InstallationFis, 1) == 1;
        repo_.REC_FIS() = files_.buffer(archive::InstallationFis);
        files_.CHIUDI(archive::InstallationFis);
    }
    if (prefix.rfind("ISTRCU", 0) != 0) {
        const std::string owner = TrimBlanks(repo_.RepoR(fields::T364));
        const std::string user = TrimBlanks(repo_.RepoR(fields::F357));
        if (!owner.empty() && !user.empty()) pdf.SetProtection(quill::Permit::Print | quill::Permit::Copy, owner, user);
    }

    pdf.BeginDoc(platform::NarrowPath(hostFilePath_));
    if (pdf.ErrNumber() != 0) {
        // Only this file is given up: the writer keeps its error, so the next document needs a new one.
        try {
            WriterError("BeginDoc");
        } catch (...) {
            pdf_.reset();
            throw;
        }
    }
    PDFAPERTO = true;
    pdf.BeginPage();
}

void PdfListFiles::CHIUDIPDF() {
    quill::QuillPdf& pdf = writer();
    pdf.EndDoc();
    const int error = pdf.ErrNumber();
    PDFAPERTO = false;
    if (error != 0) {
        std::string description = pdf.ErrDescription();
        // The writer has removed what it wrote; an earlier complete file of that name stays.
        pdf_.reset();
        throw RuntimeError(error,
                           (description.empty() ? DescriptionOf(error) : description) + " (EndDoc " + filePath_ + ")");
    }
    pdf_.reset();
}

}  // namespace kv::output
