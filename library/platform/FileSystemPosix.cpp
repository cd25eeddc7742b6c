// Writing a file safely on POSIX systems: open(2) with O_EXCL|O_NOFOLLOW for the fresh file,
// fsync(2) before it takes its name, and a name taken without replacing anything through
// renameat2(2) with RENAME_NOREPLACE, or link(2) where the file system does not offer that.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "library/platform/FileSystem.h"

namespace patchferry::platform {

namespace {

std::string Reason(int error) {
    return std::system_category().message(error);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, std::string& reason) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            reason = Reason(errno);
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(done));
    }
    if (::fsync(fd) != 0) {
        reason = Reason(errno);
        return false;
    }
    return true;
}

// The folder's own entry is flushed too, so the new name survives a power cut; a folder that
// cannot be flushed has still taken the name.
void FlushFolder(const std::filesystem::path& file) {
    const auto folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

EntryKind EntryAt(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        // Not there, or not to be looked at: making the file then fails with the reason, and
        // its name is never taken over anything.
        return EntryKind::None;
    }
    if (S_ISREG(info.st_mode)) {
        return EntryKind::File;
    }
    if (S_ISDIR(info.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISLNK(info.st_mode) ? EntryKind::Link : EntryKind::Other;
}

Placed WriteExclusive(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                      std::string& reason) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) {
            return Placed::NameTaken;
        }
        reason = Reason(errno);
        return Placed::Failed;
    }
    const bool written = WriteAll(fd, bytes, reason);
    if (::close(fd) != 0 && written) {
        reason = Reason(errno);
    } else if (written) {
        return Placed::Done;
    }
    ::unlink(path.c_str());
    return Placed::Failed;
}

Placed Rename(const std::filesystem::path& from, const std::filesystem::path& to, bool replace,
              std::string& reason) {
    if (replace) {
        if (::rename(from.c_str(), to.c_str()) != 0) {
            reason = Reason(errno);
            return Placed::Failed;
        }
        FlushFolder(to);
        return Placed::Done;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        FlushFolder(to);
        return Placed::Done;
    }
    if (errno == EEXIST) {
        return Placed::NameTaken;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        reason = Reason(errno);
        return Placed::Failed;
    }
    // No RENAME_NOREPLACE here: a second link fails just as surely when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) {
            return Placed::NameTaken;
        }
        reason = Reason(errno);
        return Placed::Failed;
    }
    ::unlink(from.c_str());
    FlushFolder(to);
    return Placed::Done;
}

void RemoveFile(const std::filesystem::path& path) {
    ::unlink(path.c_str());
}

}  // namespace patchferry::platform
