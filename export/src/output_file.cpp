// Output files that appear complete or not at all, written through links
// and in place for FIFOs and devices.
#include "kavotbl/export/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kavo {

namespace {

// Follows symbolic links to the path they end at, which need not exist yet
// (a dangling link leads to the file it names). False with errno set.
bool FollowLinks(std::string& path) {
    for (int n = 0; n < 40; ++n) {  // as many as the system itself follows
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        char buf[PATH_MAX];
        const ssize_t len = readlink(path.c_str(), buf, sizeof buf);
        if (len <= 0 || len >= static_cast<ssize_t>(sizeof buf)) {
            if (len >= 0) errno = ENAMETOOLONG;
            return false;
        }
        std::string link(buf, static_cast<std::size_t>(len));
        const std::size_t slash = path.rfind('/');
        if (link[0] != '/' && slash != std::string::npos) link = path.substr(0, slash + 1) + link;
        path = std::move(link);
    }
    errno = ELOOP;
    return false;
}

}  // namespace

COutputFile::COutputFile(std::string strPath, bool bDashIsStdout)
    : m_path(std::move(strPath)), m_bDashIsStdout(bDashIsStdout) {}

COutputFile::~COutputFile() { Discard(); }

int COutputFile::Open(std::string& strError) {
    Discard();
    auto fail = [&](const std::string& why) {
        strError = "cannot write " + m_path + ": " + why;
        return 0;
    };
    if (m_bDashIsStdout && m_path == "-") {
        m_bStdout = m_bInPlace = true;
        return 1;
    }
    if (m_path.empty()) {
        strError = "cannot write: no file name";
        return 0;
    }
    m_target = m_path;
    if (!FollowLinks(m_target)) return fail(std::strerror(errno));
    struct stat st;
    m_bExisting = false;
    if (stat(m_target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return fail("it is a folder");
        if (!S_ISREG(st.st_mode)) {
            m_write = m_target;
            m_bInPlace = true;
            return 1;
        }
        // A file the user may not write stays as it is, although its folder
        // would let a rename replace it.
        if (access(m_target.c_str(), W_OK) != 0) return fail(std::strerror(errno));
        m_bExisting = true;
        m_nMode = st.st_mode & 07777;
        m_nUid = st.st_uid;
        m_nGid = st.st_gid;
    }
    const std::size_t slash = m_target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    if (base.empty()) return fail("no file name");
    std::string temp = dir + "." + base + ".tmp-XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) return fail(std::strerror(errno));
    close(fd);
    m_write = temp;
    return 1;
}

std::FILE* COutputFile::GetStream() {
    if (m_bStdout) return stdout;
    if (!m_pStream && !m_write.empty()) m_pStream = std::fopen(m_write.c_str(), "wb");
    return m_pStream;
}

int COutputFile::Commit(std::string& strError) {
    auto fail = [&](int nErr) {
        strError = "cannot write " + m_path + ": " + std::strerror(nErr ? nErr : EIO);
        Discard();
        return 0;
    };
    if (m_bStdout) {
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) return fail(errno);
        return 1;
    }
    if (m_write.empty()) {
        strError = "cannot write " + m_path + ": not opened";
        return 0;
    }
    if (m_pStream) {
        errno = 0;
        const bool bFailed = std::ferror(m_pStream) != 0;
        const bool bClosed = std::fclose(m_pStream) == 0;
        m_pStream = nullptr;
        if (bFailed || !bClosed) return fail(errno);
    }
    if (m_bInPlace) {
        m_write.clear();
        return 1;
    }
    if (m_bExisting) {
        // The owner can be kept only by a privileged user or within the
        // user's groups; the permissions always.
        if (chown(m_write.c_str(), m_nUid, m_nGid) != 0) (void)0;
        chmod(m_write.c_str(), m_nMode);
    } else {
        // mkstemp makes the file private; give it the permissions of a new file.
        const mode_t mask = umask(0);
        umask(mask);
        chmod(m_write.c_str(), 0666 & ~mask);
    }
    if (std::rename(m_write.c_str(), m_target.c_str()) != 0) return fail(errno);
    m_write.clear();
    return 1;
}

void COutputFile::Discard() {
    if (m_pStream) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
    }
    if (!m_bInPlace && !m_write.empty()) unlink(m_write.c_str());
    m_write.clear();
    m_bStdout = m_bInPlace = false;
}

}  // namespace kavo
