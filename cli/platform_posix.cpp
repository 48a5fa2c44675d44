// The system layer on POSIX: descriptors, stat, readdir, rename, signals.
#include "platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace sundrel::cli {

namespace {

volatile sig_atomic_t g_signal = 0;

void OnInterrupt(int signal)
{
    if (!g_signal)
        g_signal = signal;
}

StampTime StampOf(const struct tm& t)
{
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

bool WriteFd(int fd, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

File::~File()
{
    if (fd_ >= 0)
        close(fd_);
}

void File::NoteError()
{
    error_ = std::strerror(errno);
}

bool File::OpenForReading(const std::string& path)
{
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        NoteError();
        return false;
    }
#ifdef POSIX_FADV_SEQUENTIAL
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return true;
}

bool File::CreateNew(const std::string& path, const std::string& likeFile)
{
    struct stat like;
    mode_t mode = stat(likeFile.c_str(), &like) == 0 ? (like.st_mode & 0777) : 0666;
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd_ < 0) {
        NoteError();
        return false;
    }
    return true;
}

bool File::Read(void* buffer, size_t n, size_t* got)
{
    for (;;) {
        ssize_t r = read(fd_, buffer, n);
        if (r >= 0) {
            *got = size_t(r);
            return true;
        }
        if (errno != EINTR) {
            NoteError();
            *got = 0;
            return false;
        }
    }
}

bool File::ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got)
{
    *got = 0;
    while (*got < n) {
        ssize_t r = pread(fd_, static_cast<char*>(buffer) + *got, n - *got, off_t(offset + *got));
        if (r == 0)
            break;
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            NoteError();
            return false;
        }
        *got += size_t(r);
    }
    return true;
}

bool File::Truncate()
{
    if (ftruncate(fd_, 0) == 0 && lseek(fd_, 0, SEEK_SET) == 0)
        return true;
    NoteError();
    return false;
}

bool File::WriteAll(const void* data, size_t n)
{
    if (WriteFd(fd_, data, n))
        return true;
    NoteError();
    return false;
}

bool File::Sync()
{
    if (fsync(fd_) == 0)
        return true;
    NoteError();
    return false;
}

bool File::Size(uint64_t* size)
{
    struct stat st;
    if (fstat(fd_, &st) != 0) {
        NoteError();
        return false;
    }
    *size = uint64_t(st.st_size);
    return true;
}

bool File::Close()
{
    if (fd_ < 0)
        return true;
    int r = close(fd_);
    fd_ = -1;
    if (r != 0 && errno != EINTR) {
        NoteError();
        return false;
    }
    return true;
}

bool File::IsOpen() const
{
    return fd_ >= 0;
}

PathKind KindOf(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return PathKind::Missing;
    if (S_ISREG(st.st_mode))
        return PathKind::File;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

bool ListFiles(const std::string& folder, std::vector<std::string>* names, std::string* error)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        *error = std::strerror(errno);
        return false;
    }
    errno = 0;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (KindOf(JoinPath(folder, name)) == PathKind::File)
            names->push_back(name);
        errno = 0;
    }
    bool ok = errno == 0;
    if (!ok)
        *error = std::strerror(errno);
    closedir(dir);
    return ok;
}

bool RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool RenameOver(const std::string& from, const std::string& to, std::string* error)
{
    if (rename(from.c_str(), to.c_str()) == 0)
        return true;
    *error = std::strerror(errno);
    return false;
}

bool SyncFolder(const std::string& folder, std::string* error)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Some file systems cannot sync a folder (EINVAL); their renames are
    // as durable as they get.
    bool ok = fd >= 0 && (fsync(fd) == 0 || errno == EINVAL);
    if (!ok)
        *error = std::strerror(errno);
    if (fd >= 0)
        close(fd);
    return ok;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::string CanonicalFolder(const std::string& folder)
{
    char* full = realpath(folder.c_str(), nullptr);
    std::string path = full ? full : folder;
    std::free(full);
    return path;
}

unsigned ProcessId()
{
    return unsigned(getpid());
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder == ".")
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

uint32_t SecondsSince1970()
{
    return uint32_t(time(nullptr));
}

StampTime LocalTimeNow()
{
    time_t now = time(nullptr);
    struct tm t = {};
    localtime_r(&now, &t);
    return StampOf(t);
}

StampTime UtcTimeOf(uint32_t secondsSince1970)
{
    time_t when = time_t(secondsSince1970);
    struct tm t = {};
    gmtime_r(&when, &t);
    return StampOf(t);
}

bool UserWantsJapanese()
{
    // The first of these that is set decides, as for any POSIX program.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0;
    }
    return false;
}

bool StderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

bool WriteStdout(const std::string& text, std::string* error)
{
    if (WriteFd(STDOUT_FILENO, text.data(), text.size()))
        return true;
    *error = std::strerror(errno);
    return false;
}

void WriteStderr(const std::string& text)
{
    WriteFd(STDERR_FILENO, text.data(), text.size());
}

void WatchInterrupts()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // A closed output pipe is an ordinary write error, not a silent death
    // that would leave a half-written file.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);
}

bool Interrupted()
{
    return g_signal != 0;
}

int InterruptExitCode()
{
    return g_signal ? 128 + g_signal : 0;
}

std::vector<std::string> Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace sundrel::cli
