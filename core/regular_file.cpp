#include "core/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <system_error>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mv {

namespace {

FileCheck Problem(FileProblem problem, int err = 0) {
    return {problem, err};
}

// Opens, checks, and reads up to `want` bytes (all of the file when want is past the limit);
// `bytes` is left alone unless the file passes.
FileCheck OpenCheckRead(const std::filesystem::path& path, std::uintmax_t limit, size_t want,
                        std::string& bytes) {
#ifdef _WIN32
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return Problem(FileProblem::Missing);
    if (fs::is_directory(status)) return Problem(FileProblem::Folder);
    if (!fs::is_regular_file(status)) return Problem(FileProblem::NotRegular);
    if (fs::file_size(path, ec) > limit) return Problem(FileProblem::TooLarge);
    std::ifstream in(path, std::ios::binary);
    if (!in) return Problem(FileProblem::Unreadable, EACCES);
    // Up to one byte past the limit, in case the file grew since it was looked at.
    std::string content(static_cast<size_t>(std::min<std::uintmax_t>(want, limit + 1)), '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) return Problem(FileProblem::Unreadable, EIO);
    const auto got = static_cast<size_t>(in.gcount());
    if (got > limit) return Problem(FileProblem::TooLarge);
    content.resize(got);
    bytes = std::move(content);
    return {};
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Problem(FileProblem::Missing);
        if (errno == ENXIO) return Problem(FileProblem::NotRegular); // a socket
        return Problem(FileProblem::Unreadable, errno);
    }
    struct FdCloser {
        int Fd;
        ~FdCloser() { ::close(Fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) return Problem(FileProblem::Unreadable, errno);
    if (S_ISDIR(info.st_mode)) return Problem(FileProblem::Folder);
    if (!S_ISREG(info.st_mode)) return Problem(FileProblem::NotRegular);
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > limit) return Problem(FileProblem::TooLarge);

    // Up to one byte past the limit, in case the file grew since it was looked at (or, like
    // the files of /proc, gives no size).
    const auto cap = static_cast<size_t>(std::min<std::uintmax_t>(want, limit + 1));
    std::string content(std::min(static_cast<size_t>(size) + 1, cap), '\0');
    size_t got = 0;
    while (got < cap) {
        if (got == content.size()) content.resize(cap);
        const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Problem(FileProblem::Unreadable, errno);
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (got > limit) return Problem(FileProblem::TooLarge);
    content.resize(got);
    bytes = std::move(content);
    return {};
#endif
}

} // namespace

FileCheck ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit,
                          std::string& bytes) {
    return OpenCheckRead(path, limit, std::numeric_limits<size_t>::max(), bytes);
}

FileCheck CheckRegularFile(const std::filesystem::path& path, std::uintmax_t limit,
                           std::string& head) {
    return OpenCheckRead(path, limit, head.size(), head);
}

std::string FileProblemText(const FileCheck& check, std::uintmax_t limit) {
    switch (check.Problem) {
    case FileProblem::None:
        return {};
    case FileProblem::Missing:
        return "cannot be found";
    case FileProblem::Folder:
        return "is a folder";
    case FileProblem::NotRegular:
        return "is not a regular file";
    case FileProblem::TooLarge: {
        constexpr std::uintmax_t kMB = 1024 * 1024;
        return limit >= kMB ? "is larger than " + std::to_string(limit / kMB) + " MB"
                            : "is larger than " + std::to_string(limit / 1024) + " kB";
    }
    case FileProblem::Unreadable:
        break;
    }
    return "cannot be read: " +
           std::error_code(check.Errno != 0 ? check.Errno : EIO, std::generic_category()).message();
}

} // namespace mv
