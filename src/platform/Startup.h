#pragma once
// What a program of the suite sets up on the host before anything else.
namespace kv::platform {

// On Windows: the ANSI code page for the C library's conversions of file names, and a console that
// shows the program's UTF-8 output. Elsewhere nothing.
void PrepareProcess();

// Why the window cannot be opened, in the words of this host.
extern const char* const kNoWindowReason;

}  // namespace kv::platform
