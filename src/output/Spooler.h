#pragma once
// The spooler side of the printer (CUPS): the queue that the printer check opens and keeps, and the
// jobs sent to it. One queue is open at a time; opening another closes the first.
#include <string>

struct _http_s;

namespace kv::output {

class Spooler {
public:
    enum class Status {
        Ready,  // the queue exists and takes jobs
        NotFound,  // no such queue, or the scheduler cannot be reached
        Offline,  // stopped, or refusing jobs
        Unsupported,  // not a printer the lists can use (a fax queue)
    };

    Spooler() = default;
    ~Spooler();
    Spooler(const Spooler&) = delete;
    Spooler& operator=(const Spooler&) = delete;

    // Opens the queue by name and keeps it; the answer says whether lists can print on it.
    Status Open(const std::string& name);
    // Cancels a job left half-sent on the kept queue (its document is incomplete) and closes it.
    void Close();
    bool JobOpen() const { return job_ != 0; }
    const std::string& name() const { return name_; }

    // Sends the PDF file as one job named title on the kept queue; false with the scheduler's reason.
    bool Submit(const std::string& title, const std::string& pdfPath, std::string& reason);

private:
    void EndJob();

    _http_s* http_ = nullptr;
    std::string name_;
    int job_ = 0;
};

}  // namespace kv::output
