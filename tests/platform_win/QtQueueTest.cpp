// The file queue's Qt windows: each failure is a box whose Retry, Skip and
// Cancel buttons steer the commit (offscreen, buttons pressed by a timer).
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/win/Locations.h"
#include "platform/win/QtFileQueueCallback.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

class QtQueue : public WinFixture {
  protected:
    void SetUp() override {
        WinFixture::SetUp();
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "platform_win_qt_tests";
        static char* argv[] = {name, nullptr};
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
        // Presses the next answer in whatever failure box is open.
        QObject::connect(&mTimer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible() || maAnswers.empty()) continue;
                maTexts.push_back(box->text().toStdString());
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text() == maAnswers.front()) {
                        maAnswers.erase(maAnswers.begin());
                        b->click();
                        return;
                    }
                }
            }
        });
        mTimer.start(10);
    }
    QTimer mTimer;
    std::vector<QString> maAnswers;
    std::vector<std::string> maTexts;
};

TEST_F(QtQueue, EachFailureIsABoxWhoseButtonsSteerTheCommit) {
    blnMakeFolders(Path("src"));
    WriteText(Path("src/a.txt"), "a");
    FileQueue q;
    q.QueueCopy(Path("src"), "missing.dll", Path("dst"));
    q.QueueCopy(Path("src"), "a.txt", Path("dst"));
    QtFileQueueCallback callback(nullptr);
    maAnswers = {"Retry", "Skip"};
    EXPECT_TRUE(q.blnCommit(callback));
    ASSERT_EQ(maTexts.size(), 2u);
    EXPECT_EQ(maTexts[0].rfind("Could not copy " + Path("src/missing.dll"), 0), 0u) << maTexts[0];
    EXPECT_EQ(ReadText(Path("dst/a.txt")), "a");

    q.QueueCopy(Path("src"), "missing.dll", Path("dst"));
    q.QueueCopy(Path("src"), "a.txt", Path("dst"), "b.txt");
    maAnswers = {"Cancel"};
    EXPECT_FALSE(q.blnCommit(callback));
    EXPECT_FALSE(std::filesystem::exists(Path("dst/b.txt")));
}

}  // namespace
}  // namespace twtest
