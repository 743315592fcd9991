#include "FileQueue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/ui/UiServices.h"
#include "platform/win/Locations.h"

namespace platform::win {
namespace {

std::string strFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string strErrno() {
    return std::strerror(errno);
}

}  // namespace

std::string strCopyFileReplacing(const std::string& strSource, const std::string& strTarget) {
    const int in = open(strSource.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return strErrno();
    struct stat st {};
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return "not a regular file";
    }
    const std::string folder = strFolderOf(strTarget);
    if (!blnMakeFolders(folder)) {
        const std::string e = strErrno();
        close(in);
        return e;
    }
    std::string temp = folder + "/.nvq-XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        const std::string e = strErrno();
        close(in);
        return e;
    }
    std::string err;
    char buf[65536];
    while (err.empty()) {
        const ssize_t n = read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) err = strErrno();
        if (n <= 0) break;
        for (ssize_t done = 0; done < n && err.empty();) {
            const ssize_t w = write(out, buf + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0)
                err = strErrno();
            else
                done += w;
        }
    }
    close(in);
    if (err.empty() && (fchmod(out, st.st_mode & 0777) != 0 || fsync(out) != 0)) err = strErrno();
    close(out);
    if (err.empty() && rename(temp.c_str(), strTarget.c_str()) != 0) err = strErrno();
    if (!err.empty()) unlink(temp.c_str());
    return err;
}

QueueAnswer UiQueueCallback::OnError(const std::string& strOperation, const std::string& strPath,
                                     const std::string& strError) {
    namespace ui = platform::ui;
    const int32_t answer =
        ui::Ui().MsgBox("Could not " + strOperation + " " + strPath + ":\n" + strError,
                        ui::vbAbortRetryIgnore + ui::vbCritical, "File Operation Failed");
    return answer == ui::vbRetry    ? QueueAnswer::Retry
           : answer == ui::vbIgnore ? QueueAnswer::Skip
                                    : QueueAnswer::Cancel;
}

void FileQueue::QueueCopy(const std::string& strSourceFolder, const std::string& strSourceName,
                          const std::string& strTargetFolder, const std::string& strTargetName) {
    maOps.push_back(
        {true, strJoin(strSourceFolder, strSourceName),
         strJoin(strTargetFolder, strTargetName.empty() ? strSourceName : strTargetName)});
}

void FileQueue::QueueDelete(const std::string& strFolder, const std::string& strName) {
    maOps.push_back({false, "", strJoin(strFolder, strName)});
}

bool FileQueue::blnCommit(FileQueueCallback& callback) {
    std::vector<Op> ops;
    ops.swap(maOps);
    callback.OnStart(static_cast<int>(ops.size()));
    bool blnCancelled = false;
    for (std::size_t i = 0; i < ops.size() && !blnCancelled; ++i) {
        const Op& op = ops[i];
        callback.OnFile(static_cast<int>(i), op.strTarget);
        while (true) {
            std::string err;
            if (op.blnCopy) {
                err = strCopyFileReplacing(op.strSource, op.strTarget);
            } else if (unlink(op.strTarget.c_str()) != 0 && errno != ENOENT) {
                err = strErrno();
            }
            if (err.empty()) break;
            const QueueAnswer a = callback.OnError(op.blnCopy ? "copy" : "delete",
                                                   op.blnCopy ? op.strSource : op.strTarget, err);
            if (a == QueueAnswer::Retry) continue;
            blnCancelled = a == QueueAnswer::Cancel;
            break;
        }
    }
    callback.OnEnd();
    return !blnCancelled;
}

}  // namespace platform::win
