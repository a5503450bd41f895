// The routine trace and the central error handler's report and its printer-error questions.
#include <gtest/gtest.h>

#include "archive/ErrorHandler.h"
#include "support/PlatformDoubles.h"

using namespace kv;
using platform::Answer;

struct Handler : ::testing::Test {
    std::string Shown() const {  // "title|text|icon" lines
        std::string s;
        for (const auto& m : messages.shown()) s += m.title + "|" + m.text + "|" + std::to_string(int(m.icon)) + "\n";
        return s;
    }
    Trace trace;
    platform::ScriptedMessageBoxes messages;
    ErrorHandler handler{trace, messages, "KVTESO"};
};

TEST_F(Handler, TraceRingAndTheReportThatEndsTheProgram) {
    EXPECT_EQ(handler.ReportText(RuntimeError(53)), "Errore 53 File not found\r");  // nothing traced yet
    for (const char* name : {"FAIOPEN", "FAIOPEN", "LEGGIREC (2-7)"}) trace.TRACCIA(name);  // the same name twice: once
    EXPECT_THROW(handler.GESTERRORE(RuntimeError(err::BadRecordLength)), ProgramEnd);
    EXPECT_EQ(Shown(), "KvsPaghe KVTESO|Errore 59 Bad record length\r" + std::string(8, '\r') +
                  "FAIOPEN\rLEGGIREC (2-7)\r|2\n"
                  "KvsPaghe|CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK|1\n");
    EXPECT_STREQ(RuntimeError(err::InputPastEnd).what(), "Errore 62 Input past end of file");
    for (int i = 0; i < 10; ++i) trace.TRACCIA("R" + std::to_string(i));  // twelve names: the oldest two go
    EXPECT_EQ(trace.Lines().front() + "|" + trace.Lines().back() + "|" + std::to_string(trace.Lines().size()), "R0|R9|10");
    trace.Clear();
    EXPECT_EQ(trace.Lines(), std::vector<std::string>(10));
    EXPECT_EQ(trace.index(), 0);
}

TEST_F(Handler, PrinterErrorRetriesSkipsOrEnds) {
    for (Answer a : {Answer::Yes, Answer::No, Answer::No, Answer::No, Answer::Yes}) messages.QueueAnswer(a);
    EXPECT_EQ(handler.GESTERRORE(RuntimeError(err::PrinterError)), ErrorHandler::Resume::Retry);
    EXPECT_EQ(handler.GESTERRORE(RuntimeError(err::PrinterError)), ErrorHandler::Resume::Next);
    EXPECT_THROW(handler.GESTERRORE(RuntimeError(err::PrinterError)), ProgramEnd);
    const std::string retry = "KvsPaghe|ERR.STAMPANTE - SI VUOLE RITENTARE ?|2\n",
                      close = "KvsPaghe|CHIUDERE IL PROGRAMMA ? (se si risp.NO il progr.perde la riga e prosegue)|3\n";
    EXPECT_EQ(Shown(), retry + retry + close + retry + close);
    for (Answer a : {Answer::Yes, Answer::No, Answer::No}) messages.QueueAnswer(a);
    int calls = 0;  // Guard runs the body again on Retry and goes on after it on Next
    handler.Guard("STAMPA", [&] {
        if (++calls <= 2) throw RuntimeError(err::PrinterError);
    });
    EXPECT_EQ(std::to_string(calls) + trace.Lines().back(), "2STAMPA");
}
