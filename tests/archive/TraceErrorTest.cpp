// The routine trace and the central error handler's report and its printer-error questions.
#include <gtest/gtest.h>

#include "archive/ErrorHandler.h"

using namespace kv;
using platform::Answer;
using platform::ScriptedMessageBoxes;

TEST(Trace, SameNameTwiceIsRecordedOnceAndElevenNamesOverwriteTheOldest) {
    Trace t;
    t.TRACCIA("A");
    t.TRACCIA("A");
    EXPECT_EQ(t.index(), 1);
    for (int i = 0; i < 11; ++i) t.TRACCIA("R" + std::to_string(i));
    auto lines = t.Lines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines.front(), "R1");  // "A" and "R0" are gone
    EXPECT_EQ(lines.back(), "R10");
}

TEST(Trace, PartlyFilledRingListsEmptyLinesFirst) {
    Trace t;
    t.TRACCIA("FAIOPEN");
    t.TRACCIA("LEGGIREC (2-7)");
    auto lines = t.Lines();
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "FAIOPEN");
    EXPECT_EQ(lines[9], "LEGGIREC (2-7)");
}

TEST(ErrorHandler, ReportShowsErrorAndTenTraceLinesThenEndsTheProgram) {
    Trace t;
    ScriptedMessageBoxes msg;
    ErrorHandler h(t, msg, "KVTESO");
    t.TRACCIA("FAIOPEN");
    t.TRACCIA("LEGGIREC (2-7)");
    EXPECT_THROW(h.GESTERRORE(RuntimeError(err::BadRecordLength)), ProgramEnd);
    ASSERT_EQ(msg.shown().size(), 2u);
    EXPECT_EQ(msg.shown()[0].title, "KvsPaghe KVTESO");
    EXPECT_EQ(msg.shown()[0].icon, platform::Icon::Critical);
    EXPECT_EQ(msg.shown()[0].text,
              "Errore 59 Bad record length\r\r\r\r\r\r\r\r\rFAIOPEN\rLEGGIREC (2-7)\r");
    EXPECT_EQ(msg.shown()[1].title, "KvsPaghe");
    EXPECT_EQ(msg.shown()[1].text, "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK");
    EXPECT_EQ(msg.shown()[1].icon, platform::Icon::Information);
}

TEST(ErrorHandler, EmptyTraceGivesTheErrorLineOnly) {
    Trace t;
    ScriptedMessageBoxes msg;
    ErrorHandler h(t, msg, "KVTESO");
    EXPECT_EQ(h.ReportText(RuntimeError(53)), "Errore 53 File not found\r");
}

TEST(ErrorHandler, PrinterErrorRetriesSkipsOrEnds) {
    Trace t;
    ScriptedMessageBoxes msg;
    ErrorHandler h(t, msg, "KVTESO");
    msg.QueueAnswer(Answer::Yes);
    EXPECT_EQ(h.GESTERRORE(RuntimeError(err::PrinterError)), ErrorHandler::Resume::Retry);
    msg.QueueAnswer(Answer::No);
    msg.QueueAnswer(Answer::No);
    EXPECT_EQ(h.GESTERRORE(RuntimeError(err::PrinterError)), ErrorHandler::Resume::Next);
    msg.QueueAnswer(Answer::No);
    msg.QueueAnswer(Answer::Yes);
    EXPECT_THROW(h.GESTERRORE(RuntimeError(err::PrinterError)), ProgramEnd);
    EXPECT_EQ(msg.shown()[0].text, "ERR.STAMPANTE - SI VUOLE RITENTARE ?");
    EXPECT_EQ(msg.shown()[2].text, "CHIUDERE IL PROGRAMMA ? (se si risp.NO il progr.perde la riga e prosegue)");
    EXPECT_EQ(msg.shown()[2].icon, platform::Icon::Exclamation);
}

TEST(ErrorHandler, GuardRetriesTheBodyOnPrinterRetry) {
    Trace t;
    ScriptedMessageBoxes msg;
    ErrorHandler h(t, msg, "KVTESO");
    msg.QueueAnswer(Answer::Yes);
    int calls = 0;
    h.Guard("STAMPA", [&] {
        if (++calls == 1) throw RuntimeError(err::PrinterError);
    });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(t.Lines().back(), "STAMPA");
}
