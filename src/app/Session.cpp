#include "app/Session.h"

#include "archive/LegacyText.h"
#include "lists/ListEngine.h"

namespace kv::app {

Session::Session(platform::MessageBoxes& messages, platform::PathMap paths, const platform::RegistryReader& registry,
                 std::function<bool()> anotherCopyRunning, char decimalSeparator)
    : ctx_(messages, std::move(paths), registry, std::move(anotherCopyRunning)),
      extraction_(ctx_.files(), ctx_.repository(), messages),
      pdfFiles_(ctx_.files(), ctx_.repository(), ctx_.settings(), ctx_.paths()),
      driver_(ctx_, extraction_, pdfFiles_, decimalSeparator) {}

void Session::APRIARCHIVI() {
    ArchiveFiles& files = ctx_.files();
    for (double number : {lists::kCompanies, 5.0, lists::kEmployeeIndex, lists::kEmployees, 401.0,
                          lists::kExtractionHeader})
        files.FAIOPEN(number);
    files.LEGGIREC(lists::kExtractionHeader, 1);
    header_ = files.buffer(lists::kExtractionHeader);
    period_ = Mid(header_, 5, 4) + Mid(header_, 3, 2);
    driver_.PERIODOESTRAZIONE = period_;
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
