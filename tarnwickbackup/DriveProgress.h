// The progress window of an engine run: the folder and file being worked
// on, and Stop. Not modal: the engine keeps running while it is shown and
// asks blnStop at every folder and file.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwickbackup {

class DriveProgress : public QDialog {
    Q_OBJECT

  public:
    explicit DriveProgress(QWidget* parent = nullptr);

    void ShowMe(int32_t lngMode);
    void SetFolder(const std::string& strFolder);
    void SetFile(const std::string& strFile);
    bool blnStop() const { return mblnStop; }

    void cmdStop_Click();

    QLabel* Label1 = nullptr;
    QLineEdit* txtFolder = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtFile = nullptr;
    QPushButton* cmdStop = nullptr;

  protected:
    // Closing the window during a run asks the engine to stop, like Stop;
    // the window itself goes when the run ends.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    int32_t mlngMode = 0;
    bool mblnStop = false;
};

}  // namespace tarnwickbackup
