// Renders the installer's windows into PNG files for a look by eye:
// installer_shots [folder] (default /tmp/installer-shots).
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <memory>

#include "annotator/installer/AlertDialog.h"
#include "annotator/installer/BrowserVersionDialog.h"
#include "annotator/installer/InstallerTexts.h"
#include "annotator/installer/LicenceDialog.h"
#include "annotator/installer/ProgressWindow.h"
#include "platform/qt/QtUi.h"
#include "platform/ui/UiServices.h"

using namespace notavex::installer;

namespace {

QString gFolder;

void Shoot(QWidget& w, const QString& name) {
    w.show();
    QApplication::processEvents();
    w.grab().save(gFolder + "/" + name + ".png");
    w.hide();
}

void ShootBox(const char* text, const char* title, const QString& name) {
    using namespace platform::ui;
    std::unique_ptr<QMessageBox> box(
        platform::qt::QtUi::NewMessageBox(text, vbOKCancel | vbExclamation, title));
    Shoot(*box, name);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/installer-shots");
    QDir().mkpath(gFolder);
    ProgressWindow progress;
    const char* statuses[] = {texts::kClosingWindows, texts::kRemovingPrevious,
                              texts::kInstallingNew, texts::kPreparingSettings, texts::kSuccess};
    int n = 1;
    for (const char* status : statuses) {
        progress.SetStatus(QString::fromUtf8(status));
        Shoot(progress, QStringLiteral("progress-%1").arg(n++));
    }
    LicenceDialog licence;
    Shoot(licence, QStringLiteral("licence"));
    AlertDialog unsupported(QString::fromUtf8(texts::kSystemNotSupported));
    Shoot(unsupported, QStringLiteral("alert-system"));
    AlertDialog oldBrowser(QString::fromUtf8(texts::kOldBrowser) + " " +
                           texts::kBrowserUpgradePage + texts::kFreeUpgrade);
    Shoot(oldBrowser, QStringLiteral("alert-browser"));
    BrowserVersionDialog ie6(QString::fromUtf8(texts::kBrowserVersionText) + " " +
                             texts::kProductPage + ".");
    Shoot(ie6, QStringLiteral("browser-version"));
    ShootBox(texts::kCloseBeforeUpgrade, texts::kInstallTitle, QStringLiteral("close-upgrade"));
    ShootBox(texts::kCloseBeforeUninstall, texts::kUninstallTitle,
             QStringLiteral("close-uninstall"));
    ShootBox(texts::kUnableToClose, texts::kInstallTitle, QStringLiteral("close-unable"));
    ShootBox(texts::kRefusal, texts::kInstallerTitle, QStringLiteral("refusal"));
    return 0;
}
