// Drawing files on disk: reading a file's bytes for the reader, and saving so
// that a failure at any point (no folder, no space, no permission) leaves the
// file that was there before exactly as it was. Paths are wide strings in the
// database and UTF-8 towards the file system.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "drawing_file_cache.h"
#include "dxf_internal.h"
#include "vrxdxf.h"

namespace VRxDxf {
namespace {

bool g_failNextSave = false;
std::wstring g_lastSaveError;

std::wstring systemError(int err) { return detail::fromUtf8(std::strerror(err)); }

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

namespace detail {
void failNextSaveForTesting() { g_failNextSave = true; }
}  // namespace detail

Vrx::ErrorStatus readDxfFile(VRxDbDatabase& db, const std::wstring& path, std::wstring& error) {
    error.clear();
    if (path.empty()) {
        error = L"no file name was given";
        return Vrx::eFileNotFound;
    }
    std::string file = detail::toUtf8(path);
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) {
        int err = errno;
        error = path + L": " + (err == ENOENT || err == ENOTDIR ? std::wstring(L"no such file") : systemError(err));
        return (err == ENOENT || err == ENOTDIR) ? Vrx::eFileNotFound : Vrx::eFileAccessErr;
    }
    if (S_ISDIR(st.st_mode)) {
        error = path + L": is a folder, not a drawing file";
        return Vrx::eFileAccessErr;
    }
    if (detail::copyKeptDrawing(file, st, db)) return Vrx::eOk;
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = path + L": cannot be opened: " + systemError(errno);
        return Vrx::eFileAccessErr;
    }
    std::string content;
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = path + L": cannot be read: " + systemError(errno);
            ::close(fd);
            return Vrx::eFileAccessErr;
        }
        if (n == 0) break;
        content.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    Vrx::ErrorStatus es = readDxf(db, content, error);
    if (es != Vrx::eOk) error = path + L": " + error;
    else detail::noteDrawingRead(file, st, db);
    return es;
}

Vrx::ErrorStatus writeDxfFile(const VRxDbDatabase& db, const std::wstring& path, std::wstring& error) {
    error.clear();
    if (path.empty()) {
        error = L"no file name was given";
        return Vrx::eInvalidInput;
    }
    std::string target = detail::toUtf8(path);
    std::string content;
    content = writeDxf(db);
    if (content.empty()) {
        error = path + L": the drawing could not be put into DXF text (out of memory?)";
        return Vrx::eFileAccessErr;
    }

    std::string folder = folderOf(target);
    std::string tmp = folder + "/.zdtsave.XXXXXX";
    int fd = ::mkstemp(&tmp[0]);
    if (fd < 0) {
        error = path + L": cannot create a file in " + detail::fromUtf8(folder) + L": " + systemError(errno);
        return Vrx::eFileAccessErr;
    }
    auto fail = [&](const std::wstring& what, int err) {
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        error = path + L": " + what + (err != 0 ? L": " + systemError(err) : std::wstring());
        return Vrx::eFileAccessErr;
    };
    // The new file gets the old one's permissions, or the usual ones for a new file.
    struct stat st;
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(022);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) return fail(L"cannot set the file's permissions", errno);
    if (!writeAll(fd, content)) return fail(L"cannot write the drawing", errno);
    if (::fsync(fd) != 0) return fail(L"cannot write the drawing to disk", errno);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail(L"cannot write the drawing", errno);
    if (g_failNextSave) {
        g_failNextSave = false;
        return fail(L"cannot write the drawing (test failure)", ENOSPC);
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) return fail(L"cannot replace the file", errno);
    // Make the rename itself durable.
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return Vrx::eOk;
}

const std::wstring& lastSaveError() { return g_lastSaveError; }
void setLastSaveError(const std::wstring& message) { g_lastSaveError = message; }

}  // namespace VRxDxf
