// A FileSystem that passes every call to another one and keeps the time of
// the calls the engine makes on the file system itself (not through drive,
// folder or file handles): the end-of-run flush and the free-space queries.
// That tells how much of a backup is the flush that the copy tools do not do.
#pragma once

#include <memory>

#include "platform/fs/FileSystem.h"

namespace bench {

class TimedFileSystem final : public platform::fs::FileSystem {
  public:
    explicit TimedFileSystem(std::shared_ptr<platform::fs::FileSystem> objInner)
        : mobjInner(std::move(objInner)) {}

    double dblFlushSeconds() const { return mdblFlushSeconds; }
    long lngSpaceQueries() const { return mlngSpaceQueries; }
    void Reset() {
        mdblFlushSeconds = 0;
        mlngSpaceQueries = 0;
    }

    std::vector<platform::fs::DrivePtr> Drives() const override { return mobjInner->Drives(); }
    bool DriveExists(const std::string& s) const override { return mobjInner->DriveExists(s); }
    platform::fs::DrivePtr GetDrive(const std::string& s) const override {
        return mobjInner->GetDrive(s);
    }
    bool FolderExists(const std::string& s) const override { return mobjInner->FolderExists(s); }
    bool FileExists(const std::string& s) const override { return mobjInner->FileExists(s); }
    platform::fs::FolderPtr GetFolder(const std::string& s) const override {
        return mobjInner->GetFolder(s);
    }
    platform::fs::FilePtr GetFile(const std::string& s) const override {
        return mobjInner->GetFile(s);
    }
    platform::fs::FolderPtr CreateFolder(const std::string& s) override {
        return mobjInner->CreateFolder(s);
    }
    void DeleteFile(const std::string& s, bool b) override { mobjInner->DeleteFile(s, b); }
    void DeleteFolder(const std::string& s, bool b) override { mobjInner->DeleteFolder(s, b); }
    void CopyFile(const std::string& strSource, const std::string& strDestination,
                  bool blnOverwrite) override {
        mobjInner->CopyFile(strSource, strDestination, blnOverwrite);
    }
    uint64_t FileLen(const std::string& s) const override { return mobjInner->FileLen(s); }
    std::vector<std::string> Dir(const std::string& s, int32_t a) const override {
        return mobjInner->Dir(s, a);
    }
    std::string ReadFile(const std::string& s) const override { return mobjInner->ReadFile(s); }
    std::optional<std::string> TryReadFile(const std::string& s,
                                           std::optional<platform::RtError>& err) const override {
        return mobjInner->TryReadFile(s, err);
    }
    void WriteFileReplacing(const std::string& s, const std::string& d) override {
        mobjInner->WriteFileReplacing(s, d);
    }
    void CreateEmptyFile(const std::string& s) override { mobjInner->CreateEmptyFile(s); }
    std::unique_ptr<platform::fs::FolderClaim> ClaimFolder(const std::string& s) override {
        return mobjInner->ClaimFolder(s);
    }
    bool LinkExists(const std::string& s) const override { return mobjInner->LinkExists(s); }
    void CopyFolderStamp(const platform::fs::Folder& objSource,
                         const platform::fs::Folder& objTarget, bool blnBits,
                         bool blnTime) override {
        mobjInner->CopyFolderStamp(objSource, objTarget, blnBits, blnTime);
    }
    platform::fs::DiskSpace GetDiskFreeSpace(const std::string& strRoot) const override;
    void FlushDrive(const std::string& strDriveSpec) override;
    bool FolderHolds(const std::string& strOuter, const std::string& strInner) const override {
        return mobjInner->FolderHolds(strOuter, strInner);
    }
    std::vector<std::string> FolderPaths(const std::string& s) const override {
        return mobjInner->FolderPaths(s);
    }
    void ForgetMedium(const std::string& s) override { mobjInner->ForgetMedium(s); }
    bool FolderWritable(const std::string& s) const override {
        return mobjInner->FolderWritable(s);
    }
    std::optional<std::filesystem::path> HostPathOf(const std::string& s) const override {
        return mobjInner->HostPathOf(s);
    }
    void SetFaultHook(platform::fs::FaultHook hook) override {
        mobjInner->SetFaultHook(std::move(hook));
    }

  private:
    std::shared_ptr<platform::fs::FileSystem> mobjInner;
    double mdblFlushSeconds = 0;
    mutable long mlngSpaceQueries = 0;
};

}  // namespace bench
