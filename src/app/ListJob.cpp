#include "app/ListJob.h"

#include <memory>

#include "app/Session.h"
#include "output/ListWorkbook.h"

namespace kv::app {

namespace {

// The list's workbook of the month, from what it heard of the run.
void WriteWorkbook(Session& session, const output::ListWorkbook& book, ListJobResult& result) {
    if (result.outcome.failed || result.outcome.stopped) {
        result.workbook = WorkbookResult::RunIncomplete;
        return;
    }
    if (book.Empty()) {
        result.workbook = WorkbookResult::Empty;
        return;
    }
    try {
        const std::string& period = session.PERIODOESTRAZIONE();
        std::string folder;
        result.workbookPath =
            output::PrepareWorkbookFolder(session.context().settings(), session.context().paths(), period, folder) /
            book.FileName(period);
        book.Write(result.workbookPath);
        result.workbookSuitePath = folder + "\\" + book.FileName(period);
        result.workbookSummary = book.SummaryText(session.driver().decimalSeparator());
        result.workbook = WorkbookResult::Written;
    } catch (const RuntimeError& e) {
        result.workbook = WorkbookResult::Failed;
        result.workbookError = e.description();
    }
}

}  // namespace

ListJobResult RunListJob(Session& session, const ListJobRequest& request) {
    return std::move(RunListJobs(session, {request}).front());
}

std::vector<ListJobResult> RunListJobs(Session& session, const std::vector<ListJobRequest>& requests) {
    std::vector<ListJobResult> results(requests.size());
    if (requests.empty()) return results;
    std::vector<std::unique_ptr<output::ListWorkbook>> books(requests.size());
    std::vector<ObserverFan> fans(requests.size());
    std::vector<RunDriver::ListPass> passes;
    for (size_t i = 0; i < requests.size(); ++i) {
        if (requests[i].workbook)
            books[i] = std::make_unique<output::ListWorkbook>(
                requests[i].list,
                output::WorkbookScope{session.context().settings().installationName, session.TESTATAESTRAZIONE(),
                                      requests[i].companies, session.companyCodes()});
        fans[i].Add(books[i].get()), fans[i].Add(&results[i].anomalies);
        passes.push_back({requests[i].list, &fans[i]});
    }
    const std::vector<RunDriver::Outcome> outcomes =
        session.driver().Run(requests.front().destination, passes, requests.front().companies);
    for (size_t i = 0; i < requests.size(); ++i) {
        results[i].outcome = outcomes[i];
        if (books[i]) WriteWorkbook(session, *books[i], results[i]);
    }
    return results;
}

}  // namespace kv::app
