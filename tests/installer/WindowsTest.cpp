// The installer's windows: names, texts and the progress window's look.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "annotator/installer/AlertDialog.h"
#include "annotator/installer/BrowserVersionDialog.h"
#include "annotator/installer/InstallerTexts.h"
#include "annotator/installer/LicenceDialog.h"
#include "annotator/installer/ProgressWindow.h"

using namespace notavex::installer;

namespace {

// Every control a screen reader meets has a name.
void ExpectNamed(const QWidget& window) {
    EXPECT_FALSE(window.accessibleName().isEmpty()) << window.objectName().toStdString();
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
            qobject_cast<const QPlainTextEdit*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty())
                << window.objectName().toStdString() << "/" << w->objectName().toStdString();
        }
    }
}

QString Text(const QWidget& window, const char* name) {
    const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QString();
}

TEST(InstallerWindows, NamesTextsAndButtons) {
    int argc = 1;
    char arg0[] = "installer_gui_tests";
    char* argv[] = {arg0, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    ProgressWindow progress;
    progress.SetStatus(QString::fromUtf8(texts::kPreparingSettings));
    EXPECT_EQ(Text(progress, "status"), QStringLiteral("Preparing settings..."));
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(progress.palette().color(QPalette::Window), QColor(179, 179, 179));
    EXPECT_EQ(progress.font().family(), QStringLiteral("Verdana"));
    ExpectNamed(progress);

    LicenceDialog licence;
    EXPECT_EQ(licence.windowTitle(), QStringLiteral("Notavex Installer"));
    EXPECT_EQ(Text(licence, "intro").toStdString(), texts::kLicenceIntro);
    EXPECT_EQ(Text(licence, "question").toStdString(), texts::kLicenceQuestion);
    EXPECT_FALSE(licence.findChild<QPlainTextEdit*>("licenceText")->toPlainText().isEmpty());
    EXPECT_TRUE(licence.findChild<QPlainTextEdit*>("licenceText")->isReadOnly());
    EXPECT_TRUE(licence.findChild<QPushButton*>("cancel")->isDefault());
    EXPECT_EQ(licence.findChild<QPushButton*>("accept")->text(), QStringLiteral("Accept"));
    ExpectNamed(licence);

    AlertDialog alert(QStringLiteral("Something to read"));
    EXPECT_EQ(alert.windowTitle(), QStringLiteral("Notavex Installer - Alert"));
    EXPECT_EQ(Text(alert, "alertText"), QStringLiteral("Something to read"));
    ExpectNamed(alert);

    BrowserVersionDialog browser(QStringLiteral("Go there"));
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Notavex for Internet Explorer 6"));
    EXPECT_EQ(browser.findChild<QPushButton*>("goToNotavex")->text(),
              QStringLiteral("Go to Notavex"));
    EXPECT_EQ(browser.findChild<QPushButton*>("exit")->text(), QStringLiteral("Exit"));
    ExpectNamed(browser);
}

}  // namespace
