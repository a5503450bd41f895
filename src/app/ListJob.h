#pragma once
// One list for chosen companies, as the window and the batch run ask for it: where it goes (PDF files,
// the printer, or nowhere when only its workbook is wanted), with the list's workbook of the month or
// not. The list runs through the session's driver with the workbook and the report of anomalies
// listening; the workbook is written when the run went through. What to tell the user is left to the
// caller.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/AnomalyReport.h"
#include "app/RunDriver.h"

namespace kv::app {

class Session;

struct ListJobRequest {
    std::optional<Destination> destination;  // none: the workbook alone, nothing printed, written or shown
    lists::ListKind list = lists::ListKind::CF01;
    std::vector<std::string> companies;  // three-digit codes, in the order they are listed
    bool workbook = false;
};

enum class WorkbookResult {
    NotAsked,
    RunIncomplete,  // the run stopped or failed: companies would be missing, an earlier workbook stays
    Empty,  // nothing listed and nothing found: no workbook is worth writing
    Written,
    Failed,  // see workbookError
};

struct ListJobResult {
    RunDriver::Outcome outcome;
    AnomalyReport anomalies;
    WorkbookResult workbook = WorkbookResult::NotAsked;
    std::filesystem::path workbookPath;  // where it was written
    std::string workbookSuitePath;  // the same as the suite names it (Windows-1252)
    std::string workbookSummary;  // its "Riepilogo" as text lines (Windows-1252)
    std::string workbookError;  // why it was not written (Windows-1252)
};

ListJobResult RunListJob(Session& session, const ListJobRequest& request);

// Several lists for the same companies and destination (the first request's), each with its workbook
// or not: each company's employees are read once for all of them. One result per request, in order,
// each as RunListJob would give it.
std::vector<ListJobResult> RunListJobs(Session& session, const std::vector<ListJobRequest>& requests);

}  // namespace kv::app
