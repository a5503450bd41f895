// The suite's semaphore SLSEMA.DAT against a second process: while another process holds it,
// APRISEMA waits and then reports error 70; when the holder lets go in time, APRISEMA succeeds; and
// while we hold it, another process cannot take it.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ArchiveFixture.h"

using namespace kv;
using kvtest::ArchiveFixture;

namespace {

// A second process that locks a file exclusively, tells the parent, and holds the lock for
// holdMillis (or until killed) before it exits.
class Holder {
public:
    Holder(const std::filesystem::path& file, int holdMillis) {
        int ready[2];
        if (::pipe(ready) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            int fd = ::open(file.c_str(), O_RDWR | O_CREAT, 0666);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0) ::_exit(2);
            if (::write(ready[1], "x", 1) != 1) ::_exit(3);
            ::usleep(static_cast<useconds_t>(holdMillis) * 1000);
            ::_exit(0);  // the lock ends with the process
        }
        ::close(ready[1]);
        char c = 0;
        if (::read(ready[0], &c, 1) != 1) throw std::runtime_error("holder did not start");
        ::close(ready[0]);
    }
    ~Holder() {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }

private:
    pid_t pid_ = -1;
};

// In a second process: can the file be locked exclusively right now?
bool OtherProcessCanLock(const std::filesystem::path& file) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int fd = ::open(file.c_str(), O_RDWR);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class Semaphore_ : public ArchiveFixture {
protected:
    Semaphore_() { kvtest::WriteBytes(archive("SLSEMA.DAT"), std::string(2000, 'S')); }
    std::filesystem::path semaphore() const { return archive("SLSEMA.DAT"); }
};

TEST_F(Semaphore_, HeldByAnotherProcessFailsAfterTheWaitWithError70) {
    Holder holder(semaphore(), 60000);
    const auto start = std::chrono::steady_clock::now();
    bool ended = false;
    try {
        files().APRISEMA();
    } catch (const ProgramEnd& end) {
        ended = true;
        EXPECT_EQ(end.exitCode, 1);
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(ended);
    EXPECT_GE(waited, std::chrono::milliseconds(2900));
    ASSERT_EQ(messages.shown().size(), 2u);
    const std::string& report = messages.shown()[0].text;
    EXPECT_EQ(report.substr(0, report.find('\r')), "Errore 70 Permission denied");
    EXPECT_NE(report.find("\rAPRISEMA\r"), std::string::npos);
    EXPECT_FALSE(files().IsOpen(ArchiveFiles::kSemaphoreArchive));
}

TEST_F(Semaphore_, SucceedsWhenTheHolderLetsGoWithinTheWait) {
    Holder holder(semaphore(), 600);
    files().APRISEMA();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(files().IsOpen(ArchiveFiles::kSemaphoreArchive));
    EXPECT_EQ(files().buffer(ArchiveFiles::kSemaphoreArchive), std::string(2000, 'S'));
    EXPECT_FALSE(OtherProcessCanLock(semaphore()));
    files().CHIUDISEMA();
    EXPECT_FALSE(files().IsOpen(ArchiveFiles::kSemaphoreArchive));
    EXPECT_TRUE(OtherProcessCanLock(semaphore()));
}

TEST_F(Semaphore_, RepeatedSectionsAndTheContentStaysUntouched) {
    for (int i = 0; i < 50; ++i) {
        files().APRISEMA();
        files().CHIUDISEMA();
    }
    files().APRISEMA();
    files().APRISEMA();  // taking it again while held reopens it rather than waiting on ourselves
    files().CHIUDISEMA();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(kvtest::ReadBytes(semaphore()), std::string(2000, 'S'));
}

TEST_F(Semaphore_, ShortSemaphoreFileIsRead) {
    kvtest::WriteBytes(semaphore(), "");
    files().APRISEMA();
    EXPECT_EQ(files().buffer(ArchiveFiles::kSemaphoreArchive), std::string(2000, ' '));
    files().CHIUDI(0);
    EXPECT_TRUE(OtherProcessCanLock(semaphore()));
}

}  // namespace
