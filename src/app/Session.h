#pragma once
// One run of the program: the archive context, the extraction, the PDF list files and the run driver,
// with the start-up sequence and the way out. The window and the batch run each own one Session.
#include <functional>
#include <string>
#include <vector>

#include "app/Extraction.h"
#include "app/RunDriver.h"
#include "archive/ArchiveContext.h"
#include "output/PdfListFiles.h"

namespace kv::app {

class Session {
public:
    Session(platform::MessageBoxes& messages, platform::PathMap paths, const platform::RegistryReader& registry,
            std::function<bool()> anotherCopyRunning, char decimalSeparator);

    // The window's own steps of the start-up, each run at its place in the sequence.
    struct StartSteps {
        std::function<void()> afterInstallation;  // size and centre the window
        std::function<void()> afterArchives;  // IMPOSTAZIONI
        std::function<void()> afterCheck;  // the standard printer, PULISCICAMPI
    };
    // The start-up sequence up to the company list: installation settings, the archives, the
    // extraction period, the extraction check and load, the company lines. False when there is no
    // current extraction (the warning has been shown; the caller leaves).
    bool Start(const StartSteps& steps = {});
    // Closes every archive and ends the program, handing the task line back (throws ProgramEnd).
    [[noreturn]] void Leave();

    ArchiveContext& context() { return ctx_; }
    Extraction& extraction() { return extraction_; }
    output::PdfListFiles& pdfFiles() { return pdfFiles_; }
    RunDriver& driver() { return driver_; }
    const std::vector<std::string>& companyLines() const { return companyLines_; }
    // The code of each company line.
    const std::vector<std::string>& companyCodes() const { return extraction_.companyCodes(); }
    // Year and month of the current extraction, YYYYMM.
    const std::string& PERIODOESTRAZIONE() const { return period_; }
    const std::string& TESTATAESTRAZIONE() const { return header_; }

private:
    void APRIARCHIVI();

    ArchiveContext ctx_;
    Extraction extraction_;
    output::PdfListFiles pdfFiles_;
    RunDriver driver_;
    std::vector<std::string> companyLines_;
    std::string header_;
    std::string period_;
};

}  // namespace kv::app
