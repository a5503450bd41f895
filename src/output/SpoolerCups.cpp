#include "output/Spooler.h"

#include <cups/cups.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace kv::output {

Spooler::~Spooler() { Close(); }

void Spooler::EndJob() {
    if (job_ == 0) return;
    cupsCancelJob2(http_, name_.c_str(), job_, 0);
    job_ = 0;
}

void Spooler::Close() {
    EndJob();
    if (http_) httpClose(http_);
    http_ = nullptr;
}

Spooler::Status Spooler::Open(const std::string& name) {
    Close();
    name_ = name;
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    if (!http_) return Status::NotFound;
    cups_dest_t* dest = cupsGetNamedDest(http_, name.c_str(), nullptr);
    if (!dest) return Close(), Status::NotFound;
    auto option = [&](const char* key) {
        const char* v = cupsGetOption(key, dest->num_options, dest->options);
        return std::string(v ? v : "");
    };
    const std::string state = option("printer-state");
    const std::string accepting = option("printer-is-accepting-jobs");
    const std::string type = option("printer-type");
    cupsFreeDests(1, dest);
    if (state == std::to_string(IPP_PSTATE_STOPPED) || accepting == "false") return Status::Offline;
    if (std::strtoul(type.c_str(), nullptr, 10) & CUPS_PRINTER_FAX) return Status::Unsupported;
    return Status::Ready;
}

bool Spooler::Submit(const std::string& title, const std::string& pdfPath, std::string& reason) {
    EndJob();
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(pdfPath.c_str(), "rb"), &std::fclose);
    if (!http_ || !file) {
        reason = http_ ? std::strerror(errno) : "no queue";
        return false;
    }
    job_ = cupsCreateJob(http_, name_.c_str(), title.c_str(), 0, nullptr);
    if (job_ == 0) return reason = cupsLastErrorString(), false;
    if (cupsStartDocument(http_, name_.c_str(), job_, title.c_str(), CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE)
        return reason = cupsLastErrorString(), false;
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, file.get())) > 0;)
        if (cupsWriteRequestData(http_, buf, n) != HTTP_STATUS_CONTINUE) return reason = cupsLastErrorString(), false;
    if (cupsFinishDocument(http_, name_.c_str()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return reason = cupsLastErrorString(), false;
    job_ = 0;  // the scheduler has the whole document
    return true;
}

}  // namespace kv::output
