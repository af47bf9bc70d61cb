// An output file written as Unix tools write one.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

namespace kavo {

/// Where an output goes, for the export functions and for programs that
/// write files. A new file, a regular file, or the target that a symbolic
/// link leads to (the link stays) is written under a temporary name beside
/// it and renamed over it by Commit, so that it appears only once complete
/// and keeps the permissions and owner it had. A FIFO or a character device
/// is written in place: neither can be renamed over. With bDashIsStdout,
/// "-" is standard output, as on a command line.
///
///     COutputFile out(path);
///     if (!out.Open(error)) ...
///     write to out.GetStream(), or open out.GetWritePath() yourself
///     if (!out.Commit(error)) ...
///
/// What is not committed is removed again by Discard or the destructor.
class COutputFile {
public:
    explicit COutputFile(std::string strPath, bool bDashIsStdout = false);
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    /// Decides where the bytes go and creates the temporary file; 0 with
    /// "cannot write PATH: why" in strError when the path is a folder, is
    /// not writable or its folder does not exist.
    int Open(std::string& strError);
    /// The path as given, for messages.
    const std::string& GetPath() const { return m_path; }
    /// The file to write into: the temporary file, or the FIFO or device
    /// itself; empty for standard output.
    const std::string& GetWritePath() const { return m_write; }
    /// True when the output is written in place (standard output, a FIFO or
    /// a device): a failure cannot take back what was written.
    bool IsInPlace() const { return m_bInPlace; }
    /// A stream on GetWritePath, opened for writing on the first call, or
    /// stdout; null (errno set) when it cannot be opened. Commit closes it.
    std::FILE* GetStream();
    /// Flushes and closes the stream, then renames the temporary file over
    /// the target with the target's permissions; 0 with a reason.
    int Commit(std::string& strError);
    /// Closes the stream and removes the temporary file.
    void Discard();

private:
    std::string m_path;
    std::string m_target;  // the path with its symbolic links followed
    std::string m_write;
    std::FILE* m_pStream = nullptr;
    bool m_bDashIsStdout;
    bool m_bStdout = false;
    bool m_bInPlace = false;
    bool m_bExisting = false;  // the target is a regular file already
    mode_t m_nMode = 0;
    uid_t m_nUid = 0;
    gid_t m_nGid = 0;
};

}  // namespace kavo
