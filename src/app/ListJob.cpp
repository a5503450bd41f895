#include "app/ListJob.h"

#include <memory>

#include "app/Session.h"
#include "output/ListWorkbook.h"

namespace kv::app {

ListJobResult RunListJob(Session& session, const ListJobRequest& request) {
    ListJobResult result;
    std::unique_ptr<output::ListWorkbook> book;
    if (request.workbook)
        book = std::make_unique<output::ListWorkbook>(
            request.list,
            output::WorkbookScope{session.context().settings().installationName, session.TESTATAESTRAZIONE(),
                                  request.companies, session.companyCodes()});
    ObserverFan fan;
    fan.Add(book.get()), fan.Add(&result.anomalies);
    RunDriver& driver = session.driver();
    struct Listening {
        RunDriver& driver;
        ~Listening() { driver.SetListObserver(nullptr); }
    } listening{driver};
    driver.SetListObserver(&fan);
    result.outcome = request.destination ? driver.Run(*request.destination, request.list, request.companies)
                                         : driver.Export(request.list, request.companies);
    driver.SetListObserver(nullptr);
    if (!book) return result;
    if (result.outcome.failed || result.outcome.stopped) {
        result.workbook = WorkbookResult::RunIncomplete;
        return result;
    }
    if (book->Empty()) {
        result.workbook = WorkbookResult::Empty;
        return result;
    }
    try {
        const std::string& period = session.PERIODOESTRAZIONE();
        std::string folder;
        result.workbookPath =
            output::PrepareWorkbookFolder(session.context().settings(), session.context().paths(), period, folder) /
            book->FileName(period);
        book->Write(result.workbookPath);
        result.workbookSuitePath = folder + "\\" + book->FileName(period);
        result.workbookSummary = book->SummaryText(driver.decimalSeparator());
        result.workbook = WorkbookResult::Written;
    } catch (const RuntimeError& e) {
        result.workbook = WorkbookResult::Failed;
        result.workbookError = e.description();
    }
    return result;
}

}  // namespace kv::app
