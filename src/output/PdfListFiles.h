#pragma once
// The PDF files of the lists: the folder tree next to the archive folder, the file name of each
// company's list, the document set-up (properties, page, compression, protection) and its closing.
//
// Folders and paths are the suite's Windows-style texts ("D:\PAGHE\FILE-PDF\012\2005\12\FDOTES");
// they are mapped to host paths only where a folder or file is touched.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "archive/ArchiveFiles.h"
#include "archive/FieldRepository.h"
#include "archive/Settings.h"
#include "platform/Paths.h"
#include "quill/QuillPdf.h"

namespace kv::output {

class PdfListFiles {
public:
    PdfListFiles(ArchiveFiles& files, FieldRepository& repo, const Settings& settings, const platform::PathMap& paths);
    ~PdfListFiles();

    // Sets the PDF root and the output folder and creates the missing folders. period is YYYYMM.
    // A folder that cannot be created, a period that is no month or a company code that is not
    // three digits is a run-time error (75); nothing is created then.
    void CREACARTELLEPDF(const std::string& company, const std::string& kind, const std::string& period);
    // Names the file after the prefix and the current company (REC_DIT), sets the document up and
    // opens it with its first page. A document that cannot be opened is a run-time error.
    void APRIPDF(const std::string& prefix);
    // True for a text that names one folder: not empty, not only dots, no separator, reserved or
    // control character.
    static bool IsFolderName(const std::string& part);
    // The root of the document trees: the parent of the archive folder, or its drive for a folder at
    // the top ("D:\\" gives "D:").
    static std::string RootOf(const std::string& archiveFolder);
    // Error 75 naming the period unless it is a month YYYYMM of the years 1900-2999: it comes from
    // the extraction header and becomes folders.
    static void CheckPeriod(const std::string& period);
    // Drops a final ".", then replaces * | \ : < > ? / and the double quote with "_".
    static void PULISCINOMEFILE(std::string& name);
    // Finishes and closes the document and releases the writer. A document that could not be
    // written completely is a run-time error (the file is not reported as made).
    void CHIUDIPDF();

    // The writer, created on first use.
    quill::QuillPdf& writer();
    bool HasWriter() const { return pdf_ != nullptr; }

    // Called when the file to write is open in another program (error 70): true retries, false gives up.
    void SetFileBusyHandler(std::function<bool()> handler) { fileBusy_ = std::move(handler); }
    // Tests: a fixed creation date, so that documents are reproducible.
    void SetFixedCreationDate(std::string pdfDate) { fixedDate_ = std::move(pdfDate); }

    bool PDFAPERTO = false;  // a list's document is open
    bool PDFCREATI = false;  // a PDF file was prepared during the run

    const std::string& pdfRoot() const { return pdfRoot_; }
    const std::string& outputFolder() const { return outputFolder_; }
    const std::string& fileName() const { return fileName_; }
    // The last APRIPDF found no installation fiscal record (its passwords read as blank).
    bool fiscalRecordMissing() const { return fiscalRecordMissing_; }
    // The host path of the last file opened.
    const std::filesystem::path& hostFilePath() const { return hostFilePath_; }

private:
    void MakeFolder(const std::string& folder);
    std::filesystem::path HostPath(const std::string& suitePath) const;
    [[noreturn]] void WriterError(const std::string& operation);

    ArchiveFiles& files_;
    FieldRepository& repo_;
    const Settings& settings_;
    const platform::PathMap& paths_;
    std::unique_ptr<quill::QuillPdf> pdf_;
    std::function<bool()> fileBusy_;
    // Hidden files older than this, in a folder the files go to, are what killed runs left.
    std::filesystem::file_time_type started_ = std::filesystem::file_time_type::clock::now();
    bool fiscalRecordMissing_ = false;
    std::string fixedDate_;
    std::string pdfRoot_, outputFolder_, fileName_, filePath_;
    std::filesystem::path hostFilePath_;
};

}  // namespace kv::output
