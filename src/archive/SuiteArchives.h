#pragma once
// The suite's archive numbers: the slot by which each archive is opened, read and closed, and the
// catalogue record (SLBASE.DAT) that names its file and record length. The archive layer, the lists,
// the start-up, the output, the demo suite, the fuzz targets and the tests all take them from here.
namespace kv::archive {

inline constexpr int Companies = 1;  // "DITX$" records, record number = company code
inline constexpr int Employees = 2;  // "DIPX$" records
inline constexpr int ExtractionList = 5;  // the extraction's entries, 20 of 10 characters a record
inline constexpr int ExtractionHeader = 6;  // record 1: the extraction date and month type
inline constexpr int EmployeeIndex = 7;  // the employees' key index (P001 -> record)
inline constexpr int Semaphore = 16;  // SLSEMA.DAT, held while the index is searched
inline constexpr int InstallationFis = 19;  // record 1: the installation's "FISX$" record
inline constexpr int PrinterSettings = 280;  // the workstation's printer names, a text file
inline constexpr int Installation = 395;  // record 1: the installation's name
inline constexpr int Parameters = 401;  // the suite's general parameters, opened at start-up

inline constexpr int Last = 600;  // the highest archive number: the slots are 0..600

// The records of the catalogue SLBASE.DAT and of the semaphore file.
inline constexpr int CatalogueRecordLength = 79;
inline constexpr int SemaphoreRecordLength = 2000;

}  // namespace kv::archive
