// File locks seen by other processes, and the single-copy check.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileLock.h"
#include "platform/SingleInstance.h"

using namespace kv::platform;

namespace {

std::filesystem::path TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kvlockXXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
    return tmpl;
}

struct Folder {
    std::filesystem::path path = TempFolder();
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// Exit status 0 when a forked process can lock the file, 1 when it cannot.
bool ChildCanLock(const std::filesystem::path& file) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int fd = ::open(file.c_str(), O_RDWR);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST(FileLock, ExclusiveAgainstOtherOpensAndOtherProcesses) {
    Folder dir;
    const auto file = dir.path / "SLSEMA.DAT";
    FileLock missing = FileLock::TryAcquire(file);
    EXPECT_FALSE(missing.locked());
    EXPECT_EQ(missing.error(), ENOENT);

    FileLock first = FileLock::TryAcquire(file, /*create=*/true);
    ASSERT_TRUE(first.locked());
    FileLock second = FileLock::TryAcquire(file);
    EXPECT_FALSE(second.locked());
    EXPECT_EQ(second.error(), EWOULDBLOCK);
    EXPECT_FALSE(ChildCanLock(file));

    FileLock moved = std::move(first);
    EXPECT_TRUE(moved.locked());
    EXPECT_FALSE(first.locked());
    EXPECT_FALSE(ChildCanLock(file));
    moved.Release();
    EXPECT_TRUE(ChildCanLock(file));
    EXPECT_TRUE(FileLock::TryAcquire(file).locked());
}

TEST(SingleInstance, SecondCopyIsSeenUntilTheFirstEnds) {
    Folder dir;
    const auto lockFile = SingleInstance::LockFileFor(PathMap(dir.path), "KVTESO");
    EXPECT_EQ(lockFile, dir.path / "run" / "KVTESO.lock");
    {
        SingleInstance first(lockFile);
        EXPECT_FALSE(first.AnotherRunning());
        SingleInstance second(lockFile);
        EXPECT_TRUE(second.AnotherRunning());
        EXPECT_FALSE(ChildCanLock(lockFile));
    }
    SingleInstance again(lockFile);
    EXPECT_FALSE(again.AnotherRunning());
}

TEST(SingleInstance, UnusableLockFolderDoesNotStopTheProgram) {
    SingleInstance s("/proc/kvteso-no-such-dir/KVTESO.lock");
    EXPECT_FALSE(s.AnotherRunning());
}
