#include "annotator/src/CaptureClient.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/win/Registry.h"

using namespace platform::win;
using Clock = std::chrono::steady_clock;

namespace {

std::string strHex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

HRESULT Invoke(INVComCapture* pCapture, CaptureClient::Slot slot, int32_t lngArgument) {
    switch (slot) {
        case CaptureClient::Slot::CaptureWindow:
            return pCapture->CaptureWindow();
        case CaptureClient::Slot::CaptureRegion:
            return pCapture->CaptureRegion();
        case CaptureClient::Slot::ShowOptions:
            return pCapture->ShowOptions();
        case CaptureClient::Slot::ShowPage:
            return pCapture->ShowPage(lngArgument);
        case CaptureClient::Slot::StartBrowser:
            return pCapture->StartBrowser();
    }
    return E_FAIL;
}

}  // namespace

struct CaptureClient::Worker {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::function<void(Worker&)>> jobs;
    bool blnStop = false;
    bool blnRunning = false;
    bool blnEnded = false;
    bool blnLeft = false;
    bool blnHangReported = false;
    Clock::time_point started;
    std::string strRunning;
    Creator create;
    Report report;
    INVComCapture* pCapture = nullptr;
    std::thread thread;

    // A worker left behind says nothing more: its client may be gone.
    void Say(const std::string& strText) {
        std::lock_guard lock(m);
        if (!blnLeft && report) report(strText);
    }

    static void Run(const std::shared_ptr<Worker>& w) {
        std::unique_lock lock(w->m);
        for (;;) {
            w->cv.wait(lock, [&] { return w->blnStop || !w->jobs.empty(); });
            if (w->jobs.empty()) break;
            auto job = std::move(w->jobs.front());
            w->jobs.pop_front();
            w->blnRunning = true;
            w->blnHangReported = false;
            w->started = Clock::now();
            lock.unlock();
            job(*w);
            lock.lock();
            w->blnRunning = false;
            w->cv.notify_all();
        }
        lock.unlock();
        if (w->pCapture) w->pCapture->Release();
        w->pCapture = nullptr;
        w->create = nullptr;  // unloads the library after its object is gone
        lock.lock();
        w->blnEnded = true;
        w->cv.notify_all();
    }
};

CaptureClient::CaptureClient(CreatorFactory factory, std::chrono::milliseconds hangLimit,
                             Report report)
    : mFactory(std::move(factory)), mHangLimit(hangLimit), mReport(std::move(report)) {}

CaptureClient::~CaptureClient() {
    if (!mWorker) return;
    if (blnHung(*mWorker)) {
        LeaveWorker();
        return;
    }
    std::unique_lock lock(mWorker->m);
    mWorker->blnStop = true;
    mWorker->cv.notify_all();
    // Ending must not wait long for a command that is still running.
    const auto limit = std::min(mHangLimit, std::chrono::milliseconds(2000));
    const bool blnEnded = mWorker->cv.wait_for(lock, limit, [this] { return mWorker->blnEnded; });
    lock.unlock();
    if (blnEnded) {
        mWorker->thread.join();
        mWorker.reset();
    } else {
        LeaveWorker();
    }
}

const char* CaptureClient::strSlotName(Slot slot) {
    switch (slot) {
        case Slot::CaptureWindow:
            return "CaptureWindow";
        case Slot::CaptureRegion:
            return "CaptureRegion";
        case Slot::ShowOptions:
            return "ShowOptions";
        case Slot::ShowPage:
            return "ShowPage";
        case Slot::StartBrowser:
            return "StartBrowser";
    }
    return "?";
}

void CaptureClient::StartWorker() {
    mWorker = std::make_shared<Worker>();
    mWorker->create = mFactory ? mFactory() : nullptr;
    mWorker->report = mReport;
    mWorker->thread = std::thread(&Worker::Run, mWorker);
}

void CaptureClient::LeaveWorker() {
    {
        std::lock_guard lock(mWorker->m);
        mWorker->blnLeft = true;
        mWorker->blnStop = true;
        mWorker->jobs.clear();
        mWorker->cv.notify_all();
    }
    mWorker->thread.detach();
    mWorker.reset();
}

bool CaptureClient::blnHung(Worker& worker) {
    std::lock_guard lock(worker.m);
    return worker.blnRunning && Clock::now() - worker.started > mHangLimit;
}

void CaptureClient::CheckHang() {
    if (!mWorker) return;
    std::string strText;
    {
        std::lock_guard lock(mWorker->m);
        if (!mWorker->blnRunning || mWorker->blnHangReported ||
            Clock::now() - mWorker->started <= mHangLimit)
            return;
        mWorker->blnHangReported = true;
        strText = "The capture component has not finished " + mWorker->strRunning + " after " +
                  std::to_string(mHangLimit.count() / 1000) +
                  " seconds; the next command starts it again.";
    }
    if (mReport) mReport(strText);
}

void CaptureClient::Post(std::function<void(Worker&)> job) {
    if (mWorker && blnHung(*mWorker)) {
        CheckHang();
        LeaveWorker();
    }
    if (!mWorker) StartWorker();
    std::lock_guard lock(mWorker->m);
    mWorker->jobs.push_back(std::move(job));
    mWorker->cv.notify_all();
}

void CaptureClient::Call(Slot slot, int32_t lngArgument) {
    Post([slot, lngArgument](Worker& w) {
        {
            std::lock_guard lock(w.m);
            w.strRunning = strSlotName(slot);
        }
        if (!w.pCapture) {
            const HRESULT hr = w.create ? w.create(&w.pCapture) : E_FAIL;
            if (FAILED(hr) || !w.pCapture) {
                w.pCapture = nullptr;
                w.Say("The capture component could not be created (" + strHex(hr) +
                      "); the next command tries again.");
                return;
            }
        }
        INVComCapture* pCapture = w.pCapture;
        pCapture->AddRef();
        const HRESULT hr = Invoke(pCapture, slot, lngArgument);
        pCapture->Release();
        if (FAILED(hr))
            w.Say(std::string("The capture component's ") + strSlotName(slot) + " failed (" +
                  strHex(hr) + ").");
    });
}

void CaptureClient::ForceRegisterClient(const std::string& strLibrary) {
    Post([strLibrary](Worker& w) {
        {
            std::lock_guard lock(w.m);
            w.strRunning = "ForceRegisterClient";
        }
        std::string strError;
        auto library = Library::Load(strLibrary, &strError);
        if (!library) {
            w.Say("The add-on's library " + strLibrary + " could not be loaded: " + strError);
            return;
        }
        if (auto fn = reinterpret_cast<DllEntryFn>(library->Symbol("ForceRegisterClient"))) fn();
    });
}

bool CaptureClient::blnWaitIdle(std::chrono::milliseconds limit) {
    if (!mWorker) return true;
    std::unique_lock lock(mWorker->m);
    return mWorker->cv.wait_for(lock, limit,
                                [this] { return mWorker->jobs.empty() && !mWorker->blnRunning; });
}

CaptureClient::CreatorFactory CaptureClient::RegistryCreator() {
    return [] {
        // The runtime refers to the registry: one holder keeps their order.
        struct Com {
            std::unique_ptr<Registry> registry = OpenRegistry();
            ComRuntime runtime{*registry};
        };
        auto com = std::make_shared<Com>();
        return Creator([com](INVComCapture** ppCapture) {
            CLSID clsid;
            const HRESULT hr = com->runtime.CLSIDFromProgID(kCaptureProgID, &clsid);
            if (FAILED(hr)) return hr;
            return com->runtime.CreateInstance(clsid, IID_INVComCapture,
                                               reinterpret_cast<void**>(ppCapture));
        });
    };
}
