// The state file on disk: bounded reading of regular files only, the
// working-directory file of older versions taken over, atomic replacement
// (temporary file, fsync, rename) of the file or of a symbolic link's
// target, a damaged file kept aside, and failures told once on stderr.
#include "host/state_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "host/paths.h"

namespace {

// mkstemp's part of a temporary file's name: the state name, ".XXXXXX".
const size_t kTempTailLength = 7;

std::string Folder(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string ErrnoText() { return strerror(errno); }

std::string NotRegular(mode_t mode) {
    return S_ISDIR(mode) ? "it is a folder, not a file" : "it is not a regular file";
}

// The file a path finally names, symbolic links followed; a dangling link
// names the file a save creates.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        char buf[4096];
        ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
        if (n <= 0) break;
        std::string to(buf, static_cast<size_t>(n));
        path = to[0] == '/' ? to : Folder(path) + "/" + to;
    }
    return path;
}

// Creates the missing folders on the way, private to the player.
bool MakeFolders(const std::string& folder, std::string* why) {
    for (size_t end = 1; end <= folder.size(); ++end) {
        if (end < folder.size() && folder[end] != '/') continue;
        std::string part = folder.substr(0, end);
        struct stat st;
        if (stat(part.c_str(), &st) == 0 || errno != ENOENT) continue;
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *why = "cannot create the folder " + part + ": " + ErrnoText();
            return false;
        }
    }
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) {
        *why = ErrnoText();
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *why = folder + " is not a folder";
        return false;
    }
    return true;
}

// A save in progress holds a lock on its temporary file; any other file
// of that name pattern is what an interrupted save left behind.
void RemoveLeftoverTemps(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::string prefix = std::string(BB_STATE_NAME) + ".";
    while (const dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() != strlen(BB_STATE_NAME) + kTempTailLength || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string path = folder + "/" + name;
        int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(path.c_str());
        close(fd);
    }
    closedir(dir);
}

// Reads up to limit + 1 bytes, so that a longer file shows as one.
bool ReadBounded(int fd, size_t limit, std::string* out, std::string* why) {
    char buf[4096];
    while (out->size() <= limit) {
        ssize_t n = read(fd, buf, std::min(sizeof buf, limit + 1 - out->size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = ErrnoText();
            return false;
        }
        if (n == 0) break;
        out->append(buf, static_cast<size_t>(n));
    }
    return true;
}

// The text of the bytes, decoded as every text file is (byte-order marks,
// UTF-16, UTF-8).
String Decode(std::string& bytes) {
    if (bytes.empty()) return String();
    FILE* f = fmemopen(&bytes[0], bytes.size(), "rb");
    if (!f) return String();
    String s = String::Load(f);
    fclose(f);
    return s;
}

bool WriteAll(int fd, const char* data, size_t size) {
    size_t written = 0;
    while (written < size) {
        ssize_t n = write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

bool CopyFile(const std::string& from, const std::string& to, std::string* why) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *why = ErrnoText();
        return false;
    }
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool ok = out >= 0;
    char buf[65536];
    while (ok) {
        ssize_t n = read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteAll(out, buf, static_cast<size_t>(n));
    }
    if (ok) ok = fsync(out) == 0;
    if (!ok) *why = ErrnoText();
    if (out >= 0 && close(out) != 0 && ok) {
        *why = ErrnoText();
        ok = false;
    }
    close(in);
    if (!ok && out >= 0) unlink(to.c_str());
    return ok;
}

mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

String BBStateFile::Load() {
    std::string path = bbStateFilePath();
    m_readPath.clear();
    m_damage.clear();
    m_keptAside = false;
    RemoveLeftoverTemps(Folder(FollowLinks(path)));

    // Nobody's old scores are lost: without a per-user file, the file an
    // older version kept in the working directory is read.
    std::string from = path;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        if (stat(BB_LEGACY_STATE_FILE, &st) != 0 || !S_ISREG(st.st_mode)) return String();
        from = BB_LEGACY_STATE_FILE;
    }
    // Non-blocking, so that a FIFO in the way cannot hold up the start.
    int fd = open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        m_readPath = from;
        m_damage = "it cannot be read: " + ErrnoText();
        return String();
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        fprintf(stderr, "kestrel-quillons: the scores cannot be read from or saved to %s: %s\n", from.c_str(),
                NotRegular(st.st_mode).c_str());
        // That is the report a failing save would give.
        if (from == path) m_failReported = true;
        return String();
    }
    m_readPath = from;
    std::string bytes, error;
    bool tooLarge = st.st_size > kMaxBytes;
    if (!tooLarge && !ReadBounded(fd, kMaxBytes, &bytes, &error)) m_damage = "it cannot be read: " + error;
    close(fd);
    if (tooLarge || bytes.size() > static_cast<size_t>(kMaxBytes)) m_damage = "it is larger than 64 KiB";
    if (!m_damage.empty()) return String();
    return Decode(bytes);
}

void BBStateFile::MarkDamaged(const std::string& why) {
    if (m_damage.empty()) m_damage = why;
}

int BBStateFile::Fail(const std::string& path, const std::string& why, int code) {
    if (!m_failReported)
        fprintf(stderr, "kestrel-quillons: cannot save the scores to %s: %s\n", path.c_str(), why.c_str());
    m_failReported = true;
    return code;
}

// A hard link keeps the damaged file's bytes without reading them (it may
// be huge, or unreadable); a copy where links are not possible. The newest
// damaged file is the one kept.
bool BBStateFile::KeepDamagedAside(const std::string& path, const std::string& target, std::string* why) {
    std::string bad = Folder(path) + "/" + BB_STATE_NAME + ".bad";
    if (unlink(bad.c_str()) != 0 && errno != ENOENT) {
        *why = "cannot replace " + bad + ": " + ErrnoText();
    } else if (link(target.c_str(), bad.c_str()) != 0 && !CopyFile(target, bad, why)) {
        *why = "cannot keep a copy as " + bad + ": " + *why;
    } else {
        fprintf(stderr, "kestrel-quillons: %s did not load whole (%s); it is kept as %s\n", path.c_str(),
                m_damage.c_str(), bad.c_str());
        m_keptAside = true;
        return true;
    }
    *why += "; the damaged file is not replaced";
    return false;
}

int BBStateFile::Save(const std::string& bytes) {
    std::string path = bbStateFilePath();
    std::string why;
    if (!MakeFolders(Folder(path), &why)) return Fail(path, why, -1);
    std::string target = FollowLinks(path);
    struct stat st;
    bool exists = stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return Fail(path, NotRegular(st.st_mode), -1);
    if (exists && !m_damage.empty() && !m_keptAside && m_readPath == path && !KeepDamagedAside(path, target, &why))
        return Fail(path, why, -1);

    // The new file is written beside the one it replaces, flushed to disk
    // and renamed over it: a crash or a full disk leaves the old one whole.
    std::string temp = Folder(target) + "/" + BB_STATE_NAME + ".XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) return Fail(path, ErrnoText(), -1);
    flock(fd, LOCK_EX);  // in use: not a leftover for another instance's start
    fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode());

    // A file-size limit must show up as a short write, not kill the game.
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    signal(SIGXFSZ, oldHandler);
    int code = ok ? 0 : -2;
    if (!ok) why = ErrnoText();
    if (ok && rename(temp.c_str(), target.c_str()) != 0) {
        why = ErrnoText();
        code = -1;
    }
    close(fd);
    if (code != 0) {
        unlink(temp.c_str());
        return Fail(path, why, code);
    }
    int dfd = open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    m_failReported = false;
    return 0;
}
