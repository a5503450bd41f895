// Opening a document on a free desktop: xdg-open, left running on its own (a viewer it starts may stay
// open as long as the user likes).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/OpenDocument.h"

extern char** environ;

namespace kv::platform {

namespace {

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

}  // namespace

bool OpenDocument(const std::filesystem::path& document, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::exists(document, ec)) {
        if (error) *error = document.string() + ": " + std::strerror(ENOENT);
        return false;
    }
    if (!OnPath("xdg-open")) {
        if (error) *error = "nessun programma per aprire " + document.string() + " (xdg-open manca)";
        return false;
    }
    // A shell starts xdg-open in the background and ends at once: the orphan is the system's to reap.
    const std::string path = document.string();
    char shell[] = "/bin/sh", dashC[] = "-c", script[] = "xdg-open \"$1\" >/dev/null 2>&1 &", name[] = "sh";
    char* argv[] = {shell, dashC, script, name, const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    if (const int rc = ::posix_spawn(&child, shell, nullptr, nullptr, argv, environ); rc != 0) {
        if (error) *error = std::string("/bin/sh: ") + std::strerror(rc);
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return true;
}

}  // namespace kv::platform
