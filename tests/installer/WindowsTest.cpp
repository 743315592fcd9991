// The installer's windows: every control named for a screen reader, and the
// licence never accepted by Enter alone.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "annotator/installer/AlertDialog.h"
#include "annotator/installer/BrowserVersionDialog.h"
#include "annotator/installer/LicenceDialog.h"
#include "annotator/installer/ProgressWindow.h"

using namespace notavex::installer;

namespace {

TEST(InstallerWindows, EveryControlIsNamedAndTheLicenceDefaultsToCancel) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char arg0[] = "installer_gui_tests";
    char* argv[] = {arg0, nullptr};
    QApplication app(argc, argv);

    ProgressWindow progress;
    LicenceDialog licence;
    EXPECT_TRUE(licence.findChild<QPushButton*>("cancel")->isDefault());
    EXPECT_TRUE(licence.findChild<QPlainTextEdit*>("licenceText")->isReadOnly());
    AlertDialog alert(QStringLiteral("text"));
    BrowserVersionDialog browser(QStringLiteral("text"));

    for (const QWidget* window :
         std::initializer_list<const QWidget*>{&progress, &licence, &alert, &browser}) {
        EXPECT_FALSE(window->accessibleName().isEmpty()) << window->objectName().toStdString();
        for (const QWidget* w : window->findChildren<QWidget*>()) {
            if (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                qobject_cast<const QPlainTextEdit*>(w)) {
                EXPECT_FALSE(w->accessibleName().isEmpty())
                    << window->objectName().toStdString() << "/" << w->objectName().toStdString();
            }
        }
    }
}

}  // namespace
