#pragma once
// The field repository: the current-record texts of the 24 archive prefixes and the routines that read
// and write one field of a record by its descriptor (RepoR, RepoN, RepoW) and shift the positions of
// repeated blocks (RepoOffset).
//
// Records are the archive's bytes (Windows-1252) kept in std::string, never converted. Each routine
// takes the descriptor either as its 23-character text or already parsed (FieldDescriptor), which is
// what the lists use in their per-employee loops.
//
// Errors: an unknown prefix where a current-record text is needed shows
// "ERRORE REPOSITORY - STRCOSTANTE" and ends the program (throws ProgramEnd). A run-time error while
// reading or writing (a field position before column 1, a write starting past the record's end, an
// offset that does not fit 16 bits) is recorded in the trace as "RepoR" (RepoN too) or "RepoW" and reported
// by ErrorHandler::GESTERRORE, which ends the program.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "archive/ErrorHandler.h"
#include "archive/FieldDescriptor.h"
#include "platform/Messages.h"

namespace kv {

class FieldRepository {
public:
    explicit FieldRepository(ErrorHandler& errors);
    FieldRepository(ErrorHandler& errors, platform::MessageBoxes& messages);

    FieldRepository(const FieldRepository&) = delete;
    FieldRepository& operator=(const FieldRepository&) = delete;

    // ---- Current-record texts -------------------------------------------------------------------
    // The text of a prefix ("DIPX$"); an unknown prefix shows the STRCOSTANTE message and ends the
    // program.
    std::string& Current(std::string_view prefix);
    std::string& Current(ArchivePrefix prefix);
    const std::string& Current(ArchivePrefix prefix) const;
    // Empties all 24 texts.
    void ClearRecords();

    std::string& REC_DIT() { return records_[Index(ArchivePrefix::DIT)]; }
    std::string& REC_DIP() { return records_[Index(ArchivePrefix::DIP)]; }
    std::string& REC_FIS() { return records_[Index(ArchivePrefix::FIS)]; }
    std::string& REC_SET() { return records_[Index(ArchivePrefix::SET)]; }
    std::string& REC_FOT() { return records_[Index(ArchivePrefix::FOT)]; }
    std::string& REC_DIC() { return records_[Index(ArchivePrefix::DIC)]; }
    std::string& REC_DI2() { return records_[Index(ArchivePrefix::DI2)]; }
    std::string& REC_CON() { return records_[Index(ArchivePrefix::CON)]; }
    std::string& REC_CUD() { return records_[Index(ArchivePrefix::CUD)]; }
    std::string& REC_PRO() { return records_[Index(ArchivePrefix::PRO)]; }
    std::string& REC_STU() { return records_[Index(ArchivePrefix::STU)]; }
    std::string& REC_ART() { return records_[Index(ArchivePrefix::ART)]; }
    std::string& REC_FOP() { return records_[Index(ArchivePrefix::FOP)]; }
    std::string& REC_F24() { return records_[Index(ArchivePrefix::F24)]; }
    std::string& REC_PAR() { return records_[Index(ArchivePrefix::PAR)]; }
    std::string& REC_PER() { return records_[Index(ArchivePrefix::PER)]; }
    std::string& REC_COC() { return records_[Index(ArchivePrefix::COC)]; }
    std::string& REC_STO() { return records_[Index(ArchivePrefix::STO)]; }
    std::string& REC_SCR() { return records_[Index(ArchivePrefix::SCR)]; }
    std::string& REC_SCRY() { return records_[Index(ArchivePrefix::SCRY)]; }
    std::string& REC_GLA() { return records_[Index(ArchivePrefix::GLA)]; }
    std::string& REC_GLC() { return records_[Index(ArchivePrefix::GLC)]; }
    std::string& REC_M77() { return records_[Index(ArchivePrefix::M77)]; }
    std::string& REC_SCRU() { return records_[Index(ArchivePrefix::SCRU)]; }

    // ---- Reading ----------------------------------------------------------------------------------
    // The field as text: from `record` when it is not empty, else from the prefix's current-record
    // text; `index` selects the repeated block (0 = none). Types "N" and 1-9 come back with their
    // sign in front and, for 1-9, the implied decimal point ("0001234567" type 2 -> "00012345.67";
    // "00-12345" type 2 -> "-000123.45"); other types come back as stored, blanks included. A field
    // partly beyond the end of the record gives the characters that exist.
    std::string RepoR(std::string_view descriptor, int16_t index = 0, const std::string& record = {});
    std::string RepoR(const FieldDescriptor& descriptor, int16_t index = 0, const std::string& record = {});

    // The numeric value of RepoR's text, "." as separator (see Val): blank gives 0.
    double RepoN(std::string_view descriptor, int16_t index = 0, const std::string& record = {});
    double RepoN(const FieldDescriptor& descriptor, int16_t index = 0, const std::string& record = {});

    // Hears the numeric fields (types "N" and 1-9) that RepoN reads from stored characters that are
    // not a number as the suite writes one (leading blanks, then digits with at most one "-"): blank
    // ones, read as 0, and any others, read as far as they go. `stored` is the field as it lies in the
    // record; the value read is passed on and stays what RepoN returns. None: nobody hears.
    using NumberWatcher = std::function<void(const FieldDescriptor&, std::string_view stored, double value)>;
    void SetNumberWatcher(NumberWatcher watcher) { watcher_ = std::move(watcher); }

    // ---- Writing ----------------------------------------------------------------------------------
    // Writes value into the field: into *record when record is non-null and *record is not empty,
    // else into the prefix's current-record text. value is changed in place: its first "," becomes
    // ".". Type "A" is left-aligned and blank-filled; every other type ("N", "D", 1-9, and also "0" or
    // any other character) is right-aligned and zero-filled with "-" in the first column, 1-9 rounded
    // half away from zero to their decimals and stored without a point. The write never lengthens the
    // record: the characters past its end are dropped.
    void RepoW(std::string_view descriptor, std::string& value, int16_t index = 0, std::string* record = nullptr);
    void RepoW(const FieldDescriptor& descriptor, std::string& value, int16_t index = 0, std::string* record = nullptr);

    // ---- Repeated blocks --------------------------------------------------------------------------
    // The shift added to the field position for block `index` (0 for index 0 and for prefixes without
    // repeated blocks). A "DI2X$" descriptor without an "I" code shows
    // "ERRORE REPOSITORY - LETTERA SCONOSCIUTA" and gives 0. Throws RuntimeError(err::Overflow) when
    // the shift does not fit 16 bits (RepoR/RepoW report it through the error handler).
    int16_t RepoOffset(std::string_view descriptor, int16_t index);
    int16_t RepoOffset(const FieldDescriptor& descriptor, int16_t index);

    ErrorHandler& errors() { return errors_; }

private:
    static constexpr std::size_t Index(ArchivePrefix p) { return static_cast<std::size_t>(p); }
    // The current-record text of the descriptor's prefix; STRCOSTANTE and ProgramEnd when unknown.
    std::string& CurrentFor(const FieldDescriptor& d);
    [[noreturn]] void UnknownPrefix();
    // The stored characters of the field (no conversion), already offset.
    std::string_view RawField(const FieldDescriptor& d, int16_t index, const std::string& record);
    std::string ReadText(const FieldDescriptor& d, int16_t index, const std::string& record);
    double ReadNumber(const FieldDescriptor& d, int16_t index, const std::string& record);
    void Write(const FieldDescriptor& d, std::string& value, int16_t index, std::string* record);

    ErrorHandler& errors_;
    platform::MessageBoxes& messages_;
    std::array<std::string, kArchivePrefixCount> records_{};
    NumberWatcher watcher_;
};

}  // namespace kv
