#include "toolkit/core/file_problems.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tracemill {
namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string dbReadProblem(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::strerror(errno);
    if (S_ISDIR(status.st_mode)) return "is a directory, not a drawing file";
    if (!S_ISREG(status.st_mode)) return "is not a regular file";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::strerror(errno);
    std::fclose(file);
    if (status.st_size == 0) return "is empty, not a drawing";
    return {};
}

std::string dbWriteProblem(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &status) != 0) return std::strerror(errno);
    if (!S_ISDIR(status.st_mode)) return std::strerror(ENOTDIR);
    // Permission bits do not tell (root writes anywhere, a read-only mount refuses everyone):
    // a file made and removed again does.
    static std::atomic<unsigned> serial{0};
    const std::string probe = folder + "/.tracemill-probe-" + std::to_string(::getpid()) + "-" +
                              std::to_string(serial.fetch_add(1));
    const int descriptor = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (descriptor < 0) return std::strerror(errno);
    ::close(descriptor);
    ::unlink(probe.c_str());
    return {};
}

} // namespace tracemill
