#pragma once
// What a list run tells whoever listens besides its sink: the company, each employee line with its
// cells as the numbers they were before formatting, the final totals and legend, and every employee
// the list left out or read from damaged data. The spreadsheet export and the report of anomalies
// listen; the lists and their printed or PDF lines do not change.
#include <array>
#include <string>
#include <vector>

#include "lists/ListLayout.h"

namespace kv::lists {

inline constexpr int kObservedTotals = 7;

struct EmployeeLine;

enum class AnomalyReason {
    KeyNotInIndex,  // the employee's key is missing from the index: left out
    EntryPastEnd,  // an extraction entry past the end of the employee archive: it and the rest left out
    ShortRecord,  // the employee's record is cut short: the missing part read as blanks
    BlankAmount,  // an amount field that is blank, read as zero
    NonNumericAmount,  // an amount field that is no number, read as zero or as far as it goes
    AdditionalMonthRefused,  // the list does not apply to an additional-month extraction: nothing listed
    IndexPastEnd,  // the index points past the end of the employee archive: a blank record read
    KeyMismatch,  // the record the index points to carries another key: that record read
    ArchiveLength,  // the employee archive is no whole number of records: cut, or a wrong record length
    HeaderMissing,  // the extraction header could not be read: the list's date is blank
    FiscalDataMissing,  // the installation's fiscal record could not be read: the PDF has no password
    UnrepresentableAmount,  // an amount infinite, not a number or wider than its cell: out of the totals heard
    UnreadableRecord,  // the employee record an entry points to holds no key (blanks, 0xFF bytes): left out
    RepeatedEmployee,  // the employee is named by more than one entry: listed once
    BadEntry,  // an extraction entry that names no company or no record: skipped
    CompanyMissing,  // the company record is cut short or past the end of the companies archive: not listed
    ListNotProduced,  // the company's list could not be written: the run went on with the next company
    HeaderChanged,  // the extraction header changed during the run: the one read at the start kept
};

struct Anomaly {
    std::string company;  // three-digit code
    std::string list;  // the list's short name (CF01, TF14, ...)
    std::string employee;  // the key (P001), "record N" when there is no key, "voce E" for a bad entry
    AnomalyReason reason = AnomalyReason::KeyNotInIndex;
    std::string detail;  // the field, the record number or the text read, for people
};

// The reason as the office reads it (Windows-1252), the same on the terminal, in the window and in
// the workbook.
inline const char* AnomalyText(AnomalyReason reason) {
    switch (reason) {
    case AnomalyReason::KeyNotInIndex: return "Chiave assente dall'indice";
    case AnomalyReason::EntryPastEnd: return "Voce oltre la fine dell'archivio dipendenti";
    case AnomalyReason::ShortRecord: return "Record dipendente troncato";
    case AnomalyReason::BlankAmount: return "Importo vuoto letto come zero";
    case AnomalyReason::NonNumericAmount: return "Importo non numerico";
    case AnomalyReason::AdditionalMonthRefused: return "Lista non prevista per mensilita' aggiuntiva";
    case AnomalyReason::IndexPastEnd: return "Indice oltre la fine dell'archivio dipendenti";
    case AnomalyReason::KeyMismatch: return "L'indice porta al record di un altro dipendente";
    case AnomalyReason::ArchiveLength: return "Archivio dipendenti non fatto di record interi";
    case AnomalyReason::HeaderMissing: return "Testata dell'estrazione assente: data in bianco";
    case AnomalyReason::FiscalDataMissing: return "Dati fiscali dell'installazione assenti: PDF senza password";
    case AnomalyReason::UnrepresentableAmount: return "Importo non rappresentabile: escluso dai totali e dal foglio";
    case AnomalyReason::UnreadableRecord: return "Record dipendente illeggibile: tralasciato";
    case AnomalyReason::RepeatedEmployee: return "Dipendente presente in piu' voci dell'estrazione: elencato una volta";
    case AnomalyReason::BadEntry: return "Voce dell'estrazione non valida: tralasciata";
    case AnomalyReason::CompanyMissing: return "Ditta assente dall'archivio ditte: non elencata";
    case AnomalyReason::ListNotProduced: return "Lista non prodotta";
    case AnomalyReason::HeaderChanged:
        return "Testata dell'estrazione cambiata durante l'elaborazione: usata quella iniziale";
    }
    return "";
}

class ListObserver {
public:
    virtual ~ListObserver() = default;
    // A company's list starts (only when it lists somebody): its layout and the values of its "AZIENDA"
    // line: code, name and INPS registration number.
    virtual void BeginCompany(const ListLayout& /*layout*/, const std::string& /*code*/, const std::string& /*name*/,
                              const std::string& /*inps*/) {}
    // An employee line as printed, with its cells in the order of the layout's columns (those that
    // are not Literal), or its note.
    virtual void Line(const EmployeeLine& /*line*/) {}
    // The final "TOTALE" and the legend under it; the company's list ends.
    virtual void EndCompany(const std::array<double, kObservedTotals>& /*totals*/,
                            const std::vector<std::string>& /*legend*/) {}
    virtual void Found(const Anomaly& /*anomaly*/) {}
};

}  // namespace kv::lists
