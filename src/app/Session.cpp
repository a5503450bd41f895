#include "app/Session.h"

#include "archive/ExtractionHeader.h"

namespace kv::app {

Session::Session(platform::MessageBoxes& messages, platform::PathMap paths, const platform::RegistryReader& registry,
                 std::function<bool()> anotherCopyRunning, char decimalSeparator)
    : ctx_(messages, std::move(paths), registry, std::move(anotherCopyRunning)),
      extraction_(ctx_.files(), ctx_.repository(), messages),
      pdfFiles_(ctx_.files(), ctx_.repository(), ctx_.settings(), ctx_.paths()),
      driver_(ctx_, extraction_, pdfFiles_, decimalSeparator) {}

void Session::APRIARCHIVI() {
    ArchiveFiles& files = ctx_.files();
    for (int number : {archive::Companies, archive::ExtractionList, archive::EmployeeIndex, archive::Employees,
                       archive::Parameters, archive::ExtractionHeader})
        files.FAIOPEN(number);
    files.LEGGIREC(archive::ExtractionHeader, 1);
    header_ = files.buffer(archive::ExtractionHeader);
    period_ = ExtractionHeader(header_).Period();
    driver_.PERIODOESTRAZIONE = period_;
    driver_.TESTATAESTRAZIONE = header_;
}

bool Session::Start(const StartSteps& steps) {
    ctx_.LoadInstallation();
    if (steps.afterInstallation) steps.afterInstallation();
    APRIARCHIVI();
    if (steps.afterArchives) steps.afterArchives();
    if (!extraction_.VERIFICAESTRAZIONE()) return false;
    if (steps.afterCheck) steps.afterCheck();
    extraction_.CARICAESTRAZIONE();
    companyLines_ = extraction_.LISTA_AZIENDE();
    return true;
}

void Session::Leave() {
    ctx_.files().CHIUDI(0);
    ctx_.files().FINEPROGRAMMA();
}

}  // namespace kv::app
