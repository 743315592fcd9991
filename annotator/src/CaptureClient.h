// The capture component as the agent drives it. The component is made on
// first use and kept until the agent ends; each call holds a reference for
// its duration. A creation that fails leaves nothing made, is reported, and
// the next command tries again.
//
// All of the component library's code runs on one worker thread, in the
// order asked, so a component that hangs never stops the agent's event
// loop. A call still running after the hang limit is reported; the next
// command leaves that worker (and its object) behind and starts afresh.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "annotator/src/NVComCapture.h"

class CaptureClient {
  public:
    enum class Slot { CaptureWindow, CaptureRegion, ShowOptions, ShowPage, StartBrowser };
    // Makes the component (on the worker thread).
    using Creator = std::function<platform::win::HRESULT(INVComCapture** ppCapture)>;
    // Each worker gets its own creator, so a worker left behind keeps what
    // its object needs (the loaded library) for as long as it runs.
    using CreatorFactory = std::function<Creator()>;
    // Called on the worker thread, or on the caller's for a hang.
    using Report = std::function<void(const std::string& strText)>;

    CaptureClient(CreatorFactory factory, std::chrono::milliseconds hangLimit, Report report);
    // Releases the object on its worker; a hung worker is left running.
    ~CaptureClient();
    CaptureClient(const CaptureClient&) = delete;
    CaptureClient& operator=(const CaptureClient&) = delete;

    void Call(Slot slot, int32_t lngArgument = 0);
    // Loads the library, calls its ForceRegisterClient when it has one and
    // unloads it again.
    void ForceRegisterClient(const std::string& strLibrary);
    // Reports a call that has run past the hang limit (once per call).
    void CheckHang();
    // Waits until every command asked so far has ended; false after the
    // limit.
    bool blnWaitIdle(std::chrono::milliseconds limit);

    static const char* strSlotName(Slot slot);
    // Creates the component by its ProgID through the registry.
    static CreatorFactory RegistryCreator();

  private:
    struct Worker;
    void Post(std::function<void(Worker&)> job);
    bool blnHung(Worker& worker);
    void StartWorker();
    void LeaveWorker();

    CreatorFactory mFactory;
    std::chrono::milliseconds mHangLimit;
    Report mReport;
    std::shared_ptr<Worker> mWorker;
};
