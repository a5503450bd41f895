#include "archive/ErrorHandler.h"

namespace kv {

std::string ErrorHandler::ReportText(const RuntimeError& error) const {
    std::string text = "Errore " + std::to_string(error.number()) + " " + error.description() + "\r";
    if (trace_.index() != 0)  // nothing traced yet: the error line only
        for (const std::string& line : trace_.Lines()) text += line + "\r";
    if (!lastRead_.empty()) text += "Ultima lettura: " + lastRead_ + "\r";
    if (!entry_.empty()) text += "Voce dell'estrazione: " + entry_ + "\r";
    if (!employee_.empty()) text += "Dipendente: " + employee_ + "\r";
    if (!field_.empty()) text += "Campo: " + field_ + "\r";
    return text;
}

ErrorHandler::Resume ErrorHandler::GESTERRORE(const RuntimeError& error) {
    using platform::Icon;
    if (error.number() == err::PrinterError) {
        if (messages_.AskYesNo(kSuiteTitle, "ERR.STAMPANTE - SI VUOLE RITENTARE ?", Icon::Critical))
            return Resume::Retry;
        if (!messages_.AskYesNo(kSuiteTitle,
                                "CHIUDERE IL PROGRAMMA ? (se si risp.NO il progr.perde la riga e prosegue)",
                                Icon::Exclamation))
            return Resume::Next;
        throw ProgramEnd{1};
    }
    messages_.Show(
        {std::string(kSuiteTitle) + " " + programName_, ReportText(error), Icon::Critical, platform::Buttons::Ok});
    messages_.Inform(kSuiteTitle, "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK");
    throw ProgramEnd{1};
}

}  // namespace kv
