#pragma once
// The archive slots and the routines that open, read and write the suite's archives by number.
//
// An archive is known by a number 1..600; its file name pattern and record length come from the
// catalogue SLBASE.DAT in the archive folder. Names may carry placeholders filled from the
// substitution values, which the caller sets just before the archive is opened and which are cleared
// once used. Records are the archive's bytes (Windows-1252) in std::string and are never converted.
//
// Errors: every routine traces its entry and hands a run-time error (RuntimeError) to the central
// handler, which reports it with the trace and ends the program (ProgramEnd). A missing substitution
// value shows its fixed message and ends the program. Files are opened shared and are never truncated
// by FAIOPEN; reading uses positioned reads only.
#include <array>
#include <chrono>
#include <concepts>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "archive/ErrorHandler.h"
#include "archive/Settings.h"
#include "archive/SuiteArchives.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

namespace kv {

// The six values that fill the placeholders of an archive name. All but the terminal number (kept
// in Settings) are cleared when they have been put into a name.
struct SubstitutionValues {
    std::string DITTAOPEN;  // company code -> "###" (three digits)
    std::string year;  // -> "**" (last two digits)
    std::string region;  // -> "@@" (two digits)
    std::string province;  // -> "%%" (two letters)
    std::string unitPrefix;  // -> "!:\" (a drive letter A/B, or a folder put in front)
};

class ArchiveFiles {
public:
    struct Slot {
        int16_t fileNumber = 0;  // 0 = closed
        std::string buffer;  // one record
        int64_t recordLength = 0;  // -1: the catalogue's length is no whole number (no record reads)
        int64_t lastRecord = 0;
    };

    // A record number as read from the data (Val of an extraction entry or a company code): it may
    // be fractional, zero, negative or huge, and such a number is error 63 of the read it is for.
    struct RecordValue {
        double value;
    };

    ArchiveFiles(Settings& settings, ErrorHandler& errors, const platform::PathMap& paths);
    ~ArchiveFiles();
    ArchiveFiles(const ArchiveFiles&) = delete;
    ArchiveFiles& operator=(const ArchiveFiles&) = delete;

    SubstitutionValues values;  // set by the caller before each open of a name that needs them

    // ---- Paths -------------------------------------------------------------------------------
    // The path of the archive file (Windows-style text); empty for number <= 0. With addFolder not 0
    // the archive folder is put in front; a name with "!:\" sets addFolder to 0.
    std::string DAMMIFILE(int number, int16_t& addFolder);
    std::string DAMMIFILE(int number) {
        int16_t add = -1;
        return DAMMIFILE(number, add);
    }
    // The record length read by the last DAMMIFILE; -1 when the catalogue's is no whole number 0..10^7.
    int64_t currentRecordLength() const { return currentRecordLength_; }
    // Where a suite path lies on this host. A path that leaves the installation (a ".." above its
    // drive) is error 75 naming it.
    std::filesystem::path HostPath(const std::string& suitePath) const;

    // ---- Opening and closing -------------------------------------------------------------------
    // Opens the archive for record access (a missing file is created empty); returns its record
    // length, 0 for number <= 0.
    int64_t FAIOPEN(int number);
    // Opens the archive file as a sequential text file: mode 0 input, mode 1 output (an existing file
    // is deleted first).
    void FAIOPENIO(int number, int16_t mode);
    void ASSEGNANUMERO(int number);
    // Closes the slot; number 0 closes every open file and clears slots 1..600.
    void CHIUDI(int number);

    // ---- Records -------------------------------------------------------------------------------
    // Reads record `record` (1-based) into the slot's buffer; 1 when the read ran past the end of the
    // file (no such record: the part that could not be read is blank), else 0.
    int LEGGIREC(int number, int64_t record);
    int LEGGIREC(int number, RecordValue record);
    // Writes the slot's buffer (first replaced by text when text is not empty) as record `record`.
    void SCRIVIREC(int number, int64_t record, const std::string& text);
    // From now on complete records of the archive that LEGGIREC reads are kept (up to maxBytes in all),
    // and a later LEGGIREC of a kept record takes the copy instead of the file; until ForgetRecords,
    // a record written or the archive closed. For a reader that may take the suite's records as they
    // were a moment ago (one company's lists, made one after another).
    void KeepRecords(int number, size_t maxBytes);
    void ForgetRecords();
    // A record number is never cut from a floating value unseen: a value read from data is a RecordValue.
    template <std::floating_point T>
    int LEGGIREC(int number, T record) = delete;
    template <std::floating_point T>
    void SCRIVIREC(int number, T record, const std::string& text) = delete;

    // ---- Sequential files (FAIOPENIO) ----------------------------------------------------------
    // The next line without its CR / LF / CR LF end; error 62 when the file has ended.
    std::string LineInput(int number);
    // True when every character of the sequential input file has been read.
    bool EndOfFile(int number);
    // Writes text followed by CR LF.
    void PrintLine(int number, const std::string& text);

    // ---- Existence and deletion ----------------------------------------------------------------
    // 1 when the archive's file exists and is not empty, else 0.
    int VERBASE(int number);
    void ELIMINA(int number);
    void AZZERAARCHIVIO(int number);
    // True when the file (a suite path) can be opened for reading.
    bool ESISTEFILE(const std::string& path) const;

    // ---- The suite's semaphore -----------------------------------------------------------------
    // Opens SLSEMA.DAT in slot 16 with exclusive access and reads its record. While another program
    // holds it, retries for the semaphore wait (3 s, every 50 ms) before error 70.
    void APRISEMA();
    void CHIUDISEMA();

    // Hands the task line back to the task file, closes every file and ends the program
    // (throws ProgramEnd{0}).
    [[noreturn]] void FINEPROGRAMMA();

    // ---- Slots ---------------------------------------------------------------------------------
    // The slot of an archive number (error 9 outside 0..600, thrown, not reported).
    Slot& slot(int number);
    const Slot& slot(int number) const;
    std::string& buffer(int number) { return slot(number).buffer; }
    bool IsOpen(int number) const;
    // Length in bytes of the slot's open file (error 52 when the slot is closed).
    int64_t FileLength(int number) const;

    Settings& settings() { return settings_; }
    ErrorHandler& errors() { return errors_; }

private:
    struct OsFile {
        platform::FileHandle fd = platform::kNoFile;
        // Opened, but no file is there: it reads as empty and is created by the first record written.
        std::filesystem::path absent;
        bool sequentialInput = false;
        bool sequentialOutput = false;
        int64_t position = 0;  // next byte of a sequential file
        std::string suitePath;  // named in the error report of a read
    };

    static int SlotIndex(int number);
    int16_t NextFreeFileNumber() const;
    void CloseSlot(int index);
    std::string CatalogueRecord(int number);
    std::string ResolveName(int number, int16_t& addFolder);
    [[noreturn]] void Fatal(const std::string& text);
    int ReadRecord(int number, const std::string& recordText, int64_t record);
    static std::string TraceName(const std::string& routine, int number, const std::string& recordText);
    OsFile& OpenFile(int number, bool forWriting = false);  // error 52 when closed

    Settings& settings_;
    ErrorHandler& errors_;
    const platform::PathMap& paths_;
    std::array<Slot, archive::Last + 1> slots_{};
    std::array<OsFile, archive::Last + 1> files_{};
    int64_t currentRecordLength_ = 0;
    std::string readTraceName_;  // the trace name of the record read under way
    std::chrono::milliseconds semaphoreWait_{3000};
    std::chrono::milliseconds semaphoreInterval_{50};
    struct KeptRecords {
        int number = 0;  // the archive whose records are kept, 0: none
        size_t bytes = 0, limit = 0;
        std::unordered_map<int64_t, std::string> records;
    } kept_;
};

}  // namespace kv
