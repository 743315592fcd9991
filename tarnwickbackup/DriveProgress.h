// The progress window of an engine run: the folder and file being worked
// on, and Stop; below them, for a backup, what has been copied, the time
// and the rate, and against a counted total a bar and the time left. Not
// modal: the engine keeps running while it is shown and asks blnStop at
// every folder and file.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tarnwickbackup {

class DriveProgress : public QDialog {
    Q_OBJECT

  public:
    explicit DriveProgress(QWidget* parent = nullptr);

    void ShowMe(int32_t lngMode);
    void SetFolder(const std::string& strFolder);
    void SetFile(const std::string& strFile);
    bool blnStop() const { return mblnStop; }

    // The count before a backup: "counting..." with what was found so far,
    // and Skip, which ends the count but not the backup.
    void StartCounting();
    void SetCounted(int64_t lngFiles, double dblBytes);
    bool blnSkip() const { return mblnSkip; }
    // The backup itself; a total of 0 files means none is known: no bar.
    void StartCopying(int64_t lngTotalFiles, double dblTotalBytes);
    void SetCopied(int64_t lngFiles, double dblBytes);

    // "01:02:03"
    static QString strDuration(int64_t lngSeconds);
    // "1.5 MB/s"
    static QString strRate(double dblBytesPerSecond);

    void cmdStop_Click();

    QLabel* Label1 = nullptr;
    QLineEdit* txtFolder = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtFile = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* lblCounting = nullptr;
    QPushButton* cmdSkip = nullptr;
    QLabel* lblCopied = nullptr;
    QLabel* lblTime = nullptr;
    QProgressBar* barProgress = nullptr;

  protected:
    // Closing the window during a run asks the engine to stop, like Stop;
    // the window itself goes when the run ends.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void ShowTimes();

    int32_t mlngMode = 0;
    bool mblnStop = false;
    bool mblnSkip = false;
    int64_t mlngTotalFiles = 0;
    double mdblTotalBytes = 0;
    int64_t mlngFiles = 0;
    double mdblBytes = 0;
    QElapsedTimer mobjElapsed;
    // Elapsed time moves on while one large file is copied.
    QTimer* mobjTick = nullptr;
};

}  // namespace tarnwickbackup
