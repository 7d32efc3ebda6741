#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "TemporaryFolder.h"
#include "persistence/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

std::string contentOf(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(readWholeFile(path, bytes, 1 << 24)) << path;
    return bytes;
}

mode_t modeOf(const std::string& path) {
    struct stat s;
    EXPECT_EQ(::stat(path.c_str(), &s), 0) << path;
    return s.st_mode & 07777;
}

int entries(const fs::path& dir) { return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

// Runs a write of 1 MB in a child process whose files may not grow past 4 kB. With the signal left
// at its default the child dies in the middle of the write, as in a crash; ignored, the write fails.
// Answers the child's wait status.
int writeInLimitedChild(const std::string& path, bool dieOnLimit) {
    pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, dieOnLimit ? SIG_DFL : SIG_IGN);
        struct rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bool ok = writeFileAtomically(path, std::string(1 << 20, 'n'));
        ::_exit(ok ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

}  // namespace

TEST(AtomicFile, ReplacesTheWholeFileAndKeepsItsPermissions) {
    TemporaryFolder folder;
    std::string path = folder.path() / "settings";
    mode_t mask = ::umask(022);
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    EXPECT_EQ(modeOf(path), 0644u);  // a new file follows the umask
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(writeFileAtomically(path, "second, longer"));
    ::umask(mask);
    EXPECT_EQ(contentOf(path), "second, longer");
    EXPECT_EQ(modeOf(path), 0600u);  // a private file stays private
    EXPECT_EQ(entries(folder.path()), 1);  // no temporary file is left behind
}

TEST(AtomicFile, AWriterThatDiesOrFailsBeforeTheRenameLeavesTheOldFile) {
    TemporaryFolder folder;
    std::string path = folder.path() / "preset";
    ASSERT_TRUE(writeFileAtomically(path, "old"));

    int crashed = writeInLimitedChild(path, true);
    EXPECT_TRUE(WIFSIGNALED(crashed) && WTERMSIG(crashed) == SIGXFSZ);
    EXPECT_EQ(contentOf(path), "old");

    int failed = writeInLimitedChild(path, false);
    EXPECT_TRUE(WIFEXITED(failed) && WEXITSTATUS(failed) == 0);  // reported as a failure
    EXPECT_EQ(contentOf(path), "old");
    // Only the crashed writer's temporary file remains; the failed one removed its own.
    EXPECT_EQ(entries(folder.path()), 2);
}

TEST(AtomicFile, RefusesPathsItCannotWrite) {
    TemporaryFolder folder;
    EXPECT_FALSE(writeFileAtomically("", "x"));
    EXPECT_FALSE(writeFileAtomically(folder.path() / "missing" / "file", "x"));
    EXPECT_EQ(entries(folder.path()), 0);
}
