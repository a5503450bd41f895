#pragma once
// The central error handler: reports a run-time error with the routine trace and ends the program,
// or, for a printer error, lets the user retry or skip the failed statement.
#include <string>
#include <string_view>

#include "archive/Errors.h"
#include "archive/Trace.h"
#include "platform/Messages.h"

namespace kv {

inline constexpr const char* kSuiteTitle = "KvsPaghe";

class ErrorHandler {
public:
    enum class Resume { Retry, Next };

    ErrorHandler(Trace& trace, platform::MessageBoxes& messages, std::string programName)
        : trace_(trace), messages_(messages), programName_(std::move(programName)) {}

    // Reports the error. For error 482 returns how to go on (retry the statement or skip to the
    // next) unless the user chooses to end; every other error ends the program (throws ProgramEnd).
    Resume GESTERRORE(const RuntimeError& error);

    // The error report's text: "Errore N description", CR, then the ten trace lines each followed by CR;
    // after them, when known, "Ultima lettura: <file>, record <n>" and "Voce dell'estrazione: <entry>",
    // then "Dipendente: <key>" and "Campo: <code> "<stored text>"", each followed by CR, so that the
    // office can find the damaged data.
    std::string ReportText(const RuntimeError& error) const;

    // The archive file and record being read (set by each record read, before it runs).
    void NoteRead(std::string fileAndRecord) { lastRead_ = std::move(fileAndRecord); }
    // The same for a record of a file, kept in place (the note is taken at every read).
    void NoteRead(std::string_view file, std::string_view record) {
        lastRead_.assign(file).append(", record ").append(record);
    }
    // The extraction entry the next reads are made for; empty once it has been read.
    void NoteEntry(std::string entry) { entry_ = std::move(entry); }
    // The employee (key) whose fields are being read, and the field whose reading failed (code and
    // stored text); each empty when none.
    void NoteEmployee(std::string key) { employee_ = std::move(key); }
    void NoteField(std::string field) { field_ = std::move(field); }

    // Runs body; a RuntimeError is traced under routineName and handed to GESTERRORE. For a printer
    // error the body is run again on Retry, and Next returns normally.
    template <typename F>
    void Guard(const std::string& routineName, F&& body) {
        for (;;) {
            try {
                body();
                return;
            } catch (const RuntimeError& e) {
                trace_.TRACCIA(routineName);
                if (GESTERRORE(e) == Resume::Next) return;
            }
        }
    }

    Trace& trace() { return trace_; }
    platform::MessageBoxes& messages() { return messages_; }
    const std::string& programName() const { return programName_; }

private:
    Trace& trace_;
    platform::MessageBoxes& messages_;
    std::string programName_;
    std::string lastRead_, entry_, employee_, field_;
};

}  // namespace kv
