// The manager's outgoing events. A window derives from this, overrides what
// it handles and connects itself for the duration of one call (see
// BackupManager::EventConnection). Arguments are by reference: a handler
// that sets blnStop asks the engine to stop.
#pragma once

#include <cstdint>
#include <string>

namespace savecore {

class BackupManagerEvents {
  public:
    virtual ~BackupManagerEvents() = default;
    virtual void StartProgress(int32_t& /*lngProgressMode*/) {}
    virtual void EndProgress() {}
    virtual void SetProgressFolder(std::string& /*strText*/) {}
    virtual void SetProgressFile(std::string& /*strText*/) {}
    virtual void blnProgressStop(bool& /*blnStop*/) {}
    virtual void OutOfSpace(bool& /*blnStop*/) {}
};

}  // namespace savecore
