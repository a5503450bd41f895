#include "archive/ArchiveFiles.h"

#include <cerrno>
#include <cmath>
#include <thread>

#include "archive/LegacyText.h"
#include "archive/Numbers.h"
#include "platform/FileAccess.h"
#include "platform/FileLock.h"

namespace kv {

namespace {

// The run-time error for a failed file operation.
int ErrorFromErrno(int e, const std::filesystem::path& path) {
    if (platform::IsDiskFull(e)) return err::DiskFull;
    switch (e) {
    case ENOENT: {
        std::error_code ec;
        return !path.has_parent_path() || std::filesystem::is_directory(path.parent_path(), ec) ? err::FileNotFound
                                                                                                : err::PathNotFound;
    }
    case ENOTDIR: return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return err::PathFileAccess;
    case EWOULDBLOCK: return err::PermissionDenied;
    case EMFILE:
    case ENFILE: return err::TooManyFiles;
    default: return err::DeviceIo;
    }
}

// Opens a file for shared binary access: read and write when allowed, else read only (a read-only
// share still serves every reader). Never truncates.
// Without create, a missing file gives kNoFile.
platform::FileHandle OpenShared(const std::filesystem::path& path, bool create) {
    using platform::OpenMode;
    platform::FileHandle fd = platform::OpenFile(path, create ? OpenMode::ReadWriteCreate : OpenMode::ReadWrite);
    if (fd == platform::kNoFile && (errno == EACCES || errno == EROFS || errno == EPERM))
        fd = platform::OpenFile(path, OpenMode::ReadOnly);
    if (fd == platform::kNoFile && !create && errno == ENOENT) return platform::kNoFile;
    if (fd == platform::kNoFile) throw RuntimeError(ErrorFromErrno(errno, path));
    if (!platform::IsRegularFile(fd)) {
        platform::CloseFile(fd);
        throw RuntimeError(err::PathFileAccess);
    }
    return fd;
}

// Opens a file for the sequential routines and the catalogue; a failure is the run-time error.
platform::FileHandle OpenOrFail(const std::filesystem::path& path, platform::OpenMode mode) {
    const platform::FileHandle fd = platform::OpenFile(path, mode);
    if (fd == platform::kNoFile) throw RuntimeError(ErrorFromErrno(errno, path));
    return fd;
}

// Reads up to size bytes at offset; the count read (less only at the end of the file).
int64_t ReadAt(platform::FileHandle fd, char* data, int64_t size, int64_t offset) {
    const int64_t got = platform::ReadAt(fd, data, size, offset);
    if (got < 0) throw RuntimeError(errno == EISDIR ? err::PathFileAccess : err::DeviceIo);
    return got;
}

void WriteAt(platform::FileHandle fd, const char* data, int64_t size, int64_t offset) {
    if (!platform::WriteAt(fd, data, size, offset))
        throw RuntimeError(errno == EBADF ? err::PathFileAccess : ErrorFromErrno(errno, {}));
}

// A record number as the file routines take it: 1 to 2147483647.
int64_t RecordIndex(int64_t record) {
    if (record < 1 || record > 2147483647) throw RuntimeError(err::BadRecordNumber);
    return record;
}

// A record number read from data: the whole number it is, or 0 (error 63 when read) when it is
// fractional or beyond the record numbers.
int64_t WholeRecord(double value) {
    return value >= 1 && value <= 2147483647.0 && value == std::floor(value) ? static_cast<int64_t>(value) : 0;
}

// A catalogue record length (columns 33-37, Val of any text there): the whole number it is, or -1.
int64_t CatalogueLength(double value) {
    return value >= 0 && value <= 1e7 && value == std::floor(value) ? static_cast<int64_t>(value) : -1;
}

// Integer part of a value as text ("12", "-5").
std::string IntegerText(double v) {
    double i = std::floor(v);
    if (std::fabs(i) < 1e15) return std::to_string(static_cast<long long>(i));
    return NumberText(i);
}

std::string SuitePath(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

}  // namespace

ArchiveFiles::ArchiveFiles(Settings& settings, ErrorHandler& errors, const platform::PathMap& paths)
    : settings_(settings), errors_(errors), paths_(paths) {}

ArchiveFiles::~ArchiveFiles() {
    for (int i = 0; i <= archive::Last; ++i) CloseSlot(i);
}

int ArchiveFiles::SlotIndex(int number) {
    if (number < 0 || number > archive::Last) throw RuntimeError(err::SubscriptOutOfRange);
    return number;
}

ArchiveFiles::Slot& ArchiveFiles::slot(int number) { return slots_[SlotIndex(number)]; }
const ArchiveFiles::Slot& ArchiveFiles::slot(int number) const { return slots_[SlotIndex(number)]; }

bool ArchiveFiles::IsOpen(int number) const {
    if (number < 0 || number > archive::Last) return false;
    return files_[number].fd != platform::kNoFile || !files_[number].absent.empty();
}

std::filesystem::path ArchiveFiles::HostPath(const std::string& suitePath) const {
    std::filesystem::path host = paths_.ToHost(suitePath);
    if (host.empty() && !suitePath.empty())
        throw RuntimeError(err::PathFileAccess,
                           DescriptionOf(err::PathFileAccess) + " - " + suitePath + " is outside the installation");
    return host;
}

int64_t ArchiveFiles::FileLength(int number) const {
    const OsFile& f = files_[SlotIndex(number)];
    if (f.fd == platform::kNoFile && !f.absent.empty()) return 0;
    if (f.fd == platform::kNoFile) throw RuntimeError(err::BadFileNumber);
    const int64_t size = platform::FileSize(f.fd);
    if (size < 0) throw RuntimeError(err::DeviceIo);
    return size;
}

std::string ArchiveFiles::TraceName(const std::string& routine, int number, const std::string& recordText) {
    std::string name(routine);  // most names stay within the string's own small buffer
    return name.append(" (").append(std::to_string(number)).append("-").append(recordText).append(")");
}

void ArchiveFiles::Fatal(const std::string& text) {
    errors_.messages().Critical(kSuiteTitle, text);
    throw ProgramEnd{1};
}

int16_t ArchiveFiles::NextFreeFileNumber() const {
    std::array<bool, 512> used{};
    for (const Slot& s : slots_)
        if (s.fileNumber > 0 && s.fileNumber < 512) used[static_cast<size_t>(s.fileNumber)] = true;
    for (int16_t n = 1; n < 512; ++n)
        if (!used[static_cast<size_t>(n)]) return n;
    throw RuntimeError(err::TooManyFiles);
}

void ArchiveFiles::CloseSlot(int index) {
    if (index == kept_.number) ForgetRecords();
    OsFile& f = files_[index];
    if (f.fd != platform::kNoFile) platform::CloseFile(f.fd);  // closing also ends a semaphore lock
    f = OsFile{};
    slots_[index].fileNumber = 0;
}

ArchiveFiles::OsFile& ArchiveFiles::OpenFile(int number, bool forWriting) {
    OsFile& f = files_[SlotIndex(number)];
    if (f.fd == platform::kNoFile && !f.absent.empty()) {
        // Another program of the suite may have created it since; a record written creates it.
        f.fd = OpenShared(f.absent, forWriting);
        if (f.fd != platform::kNoFile) f.absent.clear();
        return f;
    }
    if (f.fd == platform::kNoFile) throw RuntimeError(err::BadFileNumber);
    return f;
}

// ---- Paths ---------------------------------------------------------------------------------------

std::string ArchiveFiles::CatalogueRecord(int number) {
    const std::filesystem::path host = HostPath(SuitePath(settings_.archiveFolder, "SLBASE.DAT"));
    const platform::FileHandle fd = OpenOrFail(host, platform::OpenMode::ReadOnly);
    std::string record(archive::CatalogueRecordLength, ' ');
    int64_t got = 0;
    try {
        got = ReadAt(fd, record.data(), archive::CatalogueRecordLength,
                     static_cast<int64_t>(number - 1) * archive::CatalogueRecordLength);
    } catch (...) {
        platform::CloseFile(fd);
        throw;
    }
    platform::CloseFile(fd);
    if (got < 37) throw RuntimeError(err::InputPastEnd);  // the catalogue has no such archive
    return record;
}

std::string ArchiveFiles::DAMMIFILE(int number, int16_t& addFolder) {
    const std::string traceName = "DAMMIFILE$ (" + std::to_string(number) + ")";
    errors_.trace().TRACCIA(traceName);
    std::string result;
    errors_.Guard(traceName, [&] { result = ResolveName(number, addFolder); });
    return result;
}

std::string ArchiveFiles::ResolveName(int number, int16_t& addFolder) {
    if (number <= 0) return {};
    if (number > 99999) throw RuntimeError(err::SubscriptOutOfRange);

    SubstitutionValues& v = values;
    v.DITTAOPEN = RightChars("000" + IntegerText(Val(v.DITTAOPEN)), 3);
    const std::string yearAsSet = v.year;
    v.year = RightChars("00" + IntegerText(Val(v.year)), 2);
    v.region = RightChars("00" + IntegerText(Val(v.region)), 2);

    const std::string record = CatalogueRecord(number);
    currentRecordLength_ = CatalogueLength(Val(std::string_view(record).substr(32, 5)));
    std::string name = RTrimBlanks(std::string_view(record).substr(3, 29));
    const std::string numberText = std::to_string(number);
    // A name from the catalogue is a suite path: a host path ("/...") would leave the installation.
    if (!name.empty() && name[0] == '/')
        throw RuntimeError(err::PathFileAccess,
                           DescriptionOf(err::PathFileAccess) + " - " + name + " is outside the installation");

    if (size_t p = name.find("!:\\"); p != std::string::npos) {
        if (!v.unitPrefix.empty() && (v.unitPrefix[0] == 'A' || v.unitPrefix[0] == 'B'))
            name[p] = v.unitPrefix[0];
        else
            name = v.unitPrefix + name.substr(2);
        v.unitPrefix.clear();
        addFolder = 0;
    }
    if (size_t p = name.find("###"); p != std::string::npos) {
        if (!(Val(v.DITTAOPEN) > 0)) Fatal("ERRORE OPEN FILE - MANCA DITTAOPEN " + numberText);
        name.replace(p, 3, v.DITTAOPEN);
        v.DITTAOPEN.clear();
    }
    if (size_t p = name.find("$$"); p != std::string::npos) name.replace(p, 2, settings_.terminalNumber);
    if (size_t p = name.find("**"); p != std::string::npos) {
        if (!(Val(yearAsSet) > 0)) Fatal("ERRORE OPEN - MANCA ANNO - " + numberText);
        name.replace(p, 2, v.year);
        v.year.clear();
    }
    if (size_t p = name.find("@@"); p != std::string::npos) {
        if (!(Val(v.region) > 0)) Fatal("ERRORE OPEN - MANCA REGIONE - " + numberText);
        name.replace(p, 2, v.region);
        v.region.clear();
    }
    if (size_t p = name.find("%%"); p != std::string::npos) {
        if (v.province.size() != 2) Fatal("ERRORE OPEN - MANCA PROVINCIA - " + numberText);
        name.replace(p, 2, v.province);
        v.province.clear();
    }
    return addFolder == 0 ? name : SuitePath(settings_.archiveFolder, name);
}

// ---- Opening and closing ---------------------------------------------------------------------------

int64_t ArchiveFiles::FAIOPEN(int number) {
    errors_.trace().TRACCIA("FAIOPEN");
    if (number <= 0) return 0;
    int64_t length = 0;
    errors_.Guard("FAIOPEN", [&] {
        const int i = SlotIndex(number);
        ASSEGNANUMERO(number);
        const std::string path = DAMMIFILE(number);
        // A missing archive reads as empty; the program never creates one just by opening it.
        const std::filesystem::path host = HostPath(path);
        files_[i].fd = OpenShared(host, /*create=*/false);
        if (files_[i].fd == platform::kNoFile) files_[i].absent = host;
        files_[i].suitePath = path;
        length = currentRecordLength_;
        slots_[i].buffer.assign(length >= 1 ? static_cast<size_t>(length) : 0, ' ');
        slots_[i].recordLength = length;
    });
    return length;
}

void ArchiveFiles::FAIOPENIO(int number, int16_t mode) {
    errors_.trace().TRACCIA("FAIOPENIO");
    if (number <= 0) return;
    errors_.Guard("FAIOPENIO", [&] {
        const int i = SlotIndex(number);
        ASSEGNANUMERO(number);
        const std::string path = DAMMIFILE(number);
        const std::filesystem::path host = HostPath(path);
        OsFile f;
        if (mode == 1) {
            if (ESISTEFILE(path) && !platform::RemoveFile(host)) throw RuntimeError(ErrorFromErrno(errno, host));
            f.fd = OpenOrFail(host, platform::OpenMode::WriteTruncate);
            f.sequentialOutput = true;
        } else {
            f.fd = OpenOrFail(host, platform::OpenMode::ReadOnly);
            f.sequentialInput = true;
        }
        if (!platform::IsRegularFile(f.fd)) {
            platform::CloseFile(f.fd);
            throw RuntimeError(err::PathFileAccess);
        }
        files_[i] = f;
    });
}

void ArchiveFiles::ASSEGNANUMERO(int number) {
    errors_.Guard("ASSEGNANUMERO", [&] {
        const int i = SlotIndex(number);
        if (slots_[i].fileNumber != 0 || IsOpen(i)) CloseSlot(i);
        slots_[i].fileNumber = NextFreeFileNumber();
    });
}

void ArchiveFiles::CHIUDI(int number) {
    errors_.Guard("CHIUDI", [&] {
        const int i = SlotIndex(number);
        if (i != 0) {
            CloseSlot(i);
            return;
        }
        for (int k = 0; k <= archive::Last; ++k) CloseSlot(k);
    });
}

// ---- Records ---------------------------------------------------------------------------------------

void ArchiveFiles::KeepRecords(int number, size_t maxBytes) {
    ForgetRecords();
    kept_.number = SlotIndex(number);
    kept_.limit = maxBytes;
}

void ArchiveFiles::ForgetRecords() { kept_ = KeptRecords{}; }

int ArchiveFiles::LEGGIREC(int number, int64_t record) { return ReadRecord(number, std::to_string(record), record); }

int ArchiveFiles::LEGGIREC(int number, RecordValue record) {
    return ReadRecord(number, NumberText(record.value), WholeRecord(record.value));
}

int ArchiveFiles::ReadRecord(int number, const std::string& recordText, int64_t record) {
    // Built in place: a record read is the most frequent routine of a run.
    std::string& traceName = readTraceName_;
    traceName.assign("LEGGIREC (").append(std::to_string(number)).append("-").append(recordText).append(")");
    errors_.trace().TRACCIA(traceName);
    int pastEnd = 0;
    errors_.Guard(traceName, [&] {
        const int i = SlotIndex(number);
        const std::string& path = files_[i].suitePath;
        if (path.empty())
            errors_.NoteRead("archivio " + std::to_string(number) + ", record " + recordText);
        else
            errors_.NoteRead(path, recordText);
        Slot& s = slots_[i];
        s.lastRecord = record;
        if (static_cast<int64_t>(s.buffer.size()) != s.recordLength) throw RuntimeError(err::BadRecordLength);
        const OsFile& f = OpenFile(number);
        if (f.sequentialInput || f.sequentialOutput) throw RuntimeError(err::BadFileNumber);
        if (s.buffer.empty()) throw RuntimeError(err::BadRecordLength);  // opened with record length 0
        const int64_t length = static_cast<int64_t>(s.buffer.size());
        const int64_t r = RecordIndex(record);
        const bool keeping = i == kept_.number && i != 0;
        if (keeping) {
            const auto it = kept_.records.find(r);
            if (it != kept_.records.end() && it->second.size() == s.buffer.size()) {
                std::copy(it->second.begin(), it->second.end(), s.buffer.begin());
                return;
            }
        }
        const int64_t got = f.fd == platform::kNoFile ? 0 : ReadAt(f.fd, s.buffer.data(), length, length * (r - 1));
        if (got < length) {
            std::fill(s.buffer.begin() + got, s.buffer.end(), ' ');
            pastEnd = 1;
        } else if (keeping && kept_.bytes + s.buffer.size() <= kept_.limit) {
            kept_.records.emplace(r, s.buffer);
            kept_.bytes += s.buffer.size();
        }
    });
    return pastEnd;
}

void ArchiveFiles::SCRIVIREC(int number, int64_t record, const std::string& text) {
    const std::string traceName = TraceName("SCRIVIREC", number, std::to_string(record));
    errors_.trace().TRACCIA(traceName);
    errors_.Guard(traceName, [&] {
        const int i = SlotIndex(number);
        Slot& s = slots_[i];
        s.lastRecord = record;
        if (static_cast<int64_t>(s.buffer.size()) != s.recordLength) throw RuntimeError(err::BadRecordLength);
        if (!text.empty()) {
            if (text.size() != s.buffer.size()) throw RuntimeError(err::BadRecordLength);
            s.buffer = text;
        }
        const OsFile& f = OpenFile(number, /*forWriting=*/true);
        if (f.sequentialInput || f.sequentialOutput) throw RuntimeError(err::BadFileNumber);
        if (s.buffer.empty()) throw RuntimeError(err::BadRecordLength);  // opened with record length 0
        const int64_t length = static_cast<int64_t>(s.buffer.size());
        if (i == kept_.number) ForgetRecords();
        WriteAt(f.fd, s.buffer.data(), length, length * (RecordIndex(record) - 1));
    });
}

// ---- Sequential files ------------------------------------------------------------------------------

std::string ArchiveFiles::LineInput(int number) {
    std::string line;
    errors_.Guard("LINE INPUT", [&] {
        OsFile& f = OpenFile(number);
        if (!f.sequentialInput) throw RuntimeError(err::BadFileNumber);
        line.clear();
        char chunk[512];
        bool any = false;
        for (;;) {
            const int64_t got = ReadAt(f.fd, chunk, sizeof chunk, f.position);
            if (got == 0) {
                if (!any) throw RuntimeError(err::InputPastEnd);
                return;
            }
            any = true;
            for (int64_t k = 0; k < got; ++k) {
                const char c = chunk[k];
                if (c == '\r' || c == '\n') {
                    f.position += k + 1;
                    if (c == '\r') {  // CR LF ends one line
                        char next = 0;
                        if (ReadAt(f.fd, &next, 1, f.position) == 1 && next == '\n') ++f.position;
                    }
                    return;
                }
                line += c;
            }
            f.position += got;
        }
    });
    return line;
}

bool ArchiveFiles::EndOfFile(int number) {
    bool atEnd = true;
    errors_.Guard("EOF", [&] {
        const OsFile& f = OpenFile(number);
        atEnd = f.position >= FileLength(number);
    });
    return atEnd;
}

void ArchiveFiles::PrintLine(int number, const std::string& text) {
    errors_.Guard("PRINT", [&] {
        OsFile& f = OpenFile(number);
        if (!f.sequentialOutput) throw RuntimeError(err::BadFileNumber);
        const std::string line = text + "\r\n";
        WriteAt(f.fd, line.data(), static_cast<int64_t>(line.size()), f.position);
        f.position += static_cast<int64_t>(line.size());
    });
}

// ---- Existence and deletion ------------------------------------------------------------------------

int ArchiveFiles::VERBASE(int number) {
    errors_.trace().TRACCIA("VERBASE");
    if (number <= 0) return 0;
    int result = 0;
    errors_.Guard("VERBASE", [&] {
        const std::filesystem::path host = HostPath(DAMMIFILE(number));
        result = platform::RegularFileSize(host) > 0 ? 1 : 0;
    });
    return result;
}

void ArchiveFiles::ELIMINA(int number) {
    const SubstitutionValues kept = values;
    errors_.trace().TRACCIA("ELIMINA");
    if (number <= 0) return;
    errors_.Guard("ELIMINA", [&] {
        const int i = SlotIndex(number);
        if (slots_[i].fileNumber != 0 || IsOpen(i)) CHIUDI(number);
        if (VERBASE(number) != 1) return;
        values.DITTAOPEN = kept.DITTAOPEN;
        values.year = kept.year;
        values.region = kept.region;
        values.province = kept.province;
        const std::string path = DAMMIFILE(number);
        if (path.empty()) return;
        CHIUDI(number);
        const std::filesystem::path host = HostPath(path);
        const int64_t size = platform::RegularFileSize(host);
        if (size < 0 && errno != EISDIR) throw RuntimeError(ErrorFromErrno(errno, host));
        if (size != 0 && !platform::RemoveFile(host)) throw RuntimeError(ErrorFromErrno(errno, host));
    });
}

void ArchiveFiles::AZZERAARCHIVIO(int number) {
    const SubstitutionValues kept = values;
    const int keptNumber = number;
    ELIMINA(number);
    values.DITTAOPEN = kept.DITTAOPEN;
    values.year = kept.year;
    values.region = kept.region;
    values.province = kept.province;
    FAIOPEN(keptNumber);
}

bool ArchiveFiles::ESISTEFILE(const std::string& path) const {
    const std::filesystem::path host = HostPath(path);
    if (host.empty()) return false;
    const platform::FileHandle fd = platform::OpenFile(host, platform::OpenMode::ReadOnly);
    if (fd == platform::kNoFile) return false;
    const bool regular = platform::IsRegularFile(fd);
    platform::CloseFile(fd);
    return regular;
}

// ---- Semaphore -------------------------------------------------------------------------------------

void ArchiveFiles::APRISEMA() {
    static const std::string kName = "APRISEMA";
    errors_.trace().TRACCIA(kName);
    errors_.Guard(kName, [&] {
        // Where an open file keeps no other program out, the file stays open between the searches
        // and only its lock is taken and given back (CHIUDISEMA).
        platform::FileHandle fd = files_[archive::Semaphore].fd;
        if (fd == platform::kNoFile || platform::OpenFileBlocksExclusiveOpen()) {
            ASSEGNANUMERO(archive::Semaphore);
            fd = OpenShared(HostPath(SuitePath(settings_.archiveFolder, "SLSEMA.DAT")), /*create=*/true);
            files_[archive::Semaphore].fd = fd;
        }
        std::chrono::steady_clock::time_point deadline{};  // set at the first refusal
        while (!platform::TryLockExclusive(fd)) {
            const int e = errno;
            const auto now = std::chrono::steady_clock::now();
            if (deadline == std::chrono::steady_clock::time_point{}) deadline = now + semaphoreWait_;
            if ((e != EWOULDBLOCK && e != EAGAIN) || now >= deadline) {
                CloseSlot(archive::Semaphore);
                if (e == EWOULDBLOCK || e == EAGAIN)
                    throw RuntimeError(err::PermissionDenied,
                                       DescriptionOf(err::PermissionDenied) + " - another program holds " +
                                           SuitePath(settings_.archiveFolder, "SLSEMA.DAT") +
                                           " (the suite's semaphore)");
                throw RuntimeError(ErrorFromErrno(e, HostPath(SuitePath(settings_.archiveFolder, "SLSEMA.DAT"))));
            }
            std::this_thread::sleep_for(semaphoreInterval_);
        }
        Slot& s = slots_[archive::Semaphore];
        s.recordLength = archive::SemaphoreRecordLength;
        s.buffer.resize(archive::SemaphoreRecordLength);
        const int64_t got = ReadAt(fd, s.buffer.data(), archive::SemaphoreRecordLength, 0);  // read, not used
        std::fill(s.buffer.begin() + got, s.buffer.end(), ' ');
    });
}

void ArchiveFiles::CHIUDISEMA() {
    const platform::FileHandle fd = files_[archive::Semaphore].fd;
    if (fd != platform::kNoFile && !platform::OpenFileBlocksExclusiveOpen())
        platform::Unlock(fd);
    else
        CHIUDI(archive::Semaphore);
}

// ---- End of the program ----------------------------------------------------------------------------

void ArchiveFiles::FINEPROGRAMMA() {
    errors_.trace().TRACCIA("FINEPROGRAMMA");
    errors_.Guard("FINEPROGRAMMA", [&] {
        const std::string taskFile = settings_.TaskFile();
        if (!ESISTEFILE(taskFile)) return;
        settings_.taskLine = settings_.terminalNumber;
        settings_.taskLine.resize(100, ' ');
        const std::string line = settings_.taskLine + "\r\n";
        // The new task file is written whole beside the old one, then takes its place: a program
        // stopped at any moment leaves the suite its task file, old or new.
        const std::filesystem::path host = HostPath(taskFile);
        std::filesystem::path hidden(".");
        hidden += host.filename();
        hidden += "." + std::to_string(platform::ProcessId()) + ".part";
        const std::filesystem::path temporary = host.parent_path() / hidden;
        auto fail = [&](int number) {
            platform::RemoveFile(temporary);
            throw RuntimeError(number, DescriptionOf(number) + " - " + taskFile);
        };
        const platform::FileHandle fd = platform::OpenFile(temporary, platform::OpenMode::WriteTruncate);
        if (fd == platform::kNoFile) fail(ErrorFromErrno(errno, temporary));
        const bool written = platform::WriteAt(fd, line.data(), static_cast<int64_t>(line.size()), 0);
        const int writeError = errno;
        if (!platform::CloseFile(fd) || !written) fail(written ? err::DeviceIo : ErrorFromErrno(writeError, temporary));
        if (!platform::MoveIntoPlace(temporary, host)) fail(ErrorFromErrno(errno, host));
    });
    CHIUDI(0);
    throw ProgramEnd{0};
}

}  // namespace kv
