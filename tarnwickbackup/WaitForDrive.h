// Waits, without buttons and without a close box, until a drive becomes
// ready (a new disc was loaded) or a deadline passes.
#pragma once

#include <QDialog>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QTimer;

namespace platform::fs {
class Drive;
}

namespace tarnwickbackup {

using WaitClock = std::function<std::chrono::system_clock::time_point()>;

class WaitForDrive : public QDialog {
    Q_OBJECT

  public:
    // fnNow tells the time the deadline is compared with; lngMsPerSecond is
    // how long one second of the tick interval lasts (1000 for people).
    explicit WaitForDrive(QWidget* parent = nullptr, WaitClock fnNow = {},
                          int32_t lngMsPerSecond = 1000);

    // Modal. True when the deadline passed first (stop the backup), false
    // when the drive became ready. The drive is asked every intSeconds.
    bool blnShowMe(std::shared_ptr<const platform::fs::Drive> objDrive,
                   std::chrono::system_clock::time_point datEndWait, int16_t intSeconds);

    void tmrMain_Timer();

    QLabel* Label1 = nullptr;
    QTimer* tmrMain = nullptr;

  protected:
    // Only the timer ends the wait: neither Escape nor the window manager.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;

  private:
    void EndWait(bool blnStop);

    WaitClock mfnNow;
    int32_t mlngMsPerSecond;
    std::shared_ptr<const platform::fs::Drive> mobjDrive;
    std::chrono::system_clock::time_point mdatEndWait{};
    bool mblnResult = false;
    bool mblnEnding = false;
};

}  // namespace tarnwickbackup
