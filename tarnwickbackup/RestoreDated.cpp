#include "RestoreDated.h"

#include <QLabel>
#include <QListWidget>
#include <algorithm>
#include <ctime>
#include <numeric>

#include "Globals.h"
#include "TWDeclarations.h"
#include "platform/fs/LocaleText.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

std::vector<DatedBackupInfo> gaDatedBackups;
int16_t gintDatedCount = 0;

std::string strDatedText(platform::fs::Date dat) {
    const std::tm tmLocal = platform::tmLocalTime(dat);
    char achText[64];
    std::snprintf(achText, sizeof achText, "%02d/%02d/%04d %02d:%02d%s", tmLocal.tm_mon + 1,
                  tmLocal.tm_mday, tmLocal.tm_year + 1900, platform::intHour12(tmLocal),
                  tmLocal.tm_min, tmLocal.tm_hour < 12 ? "AM" : "PM");
    return achText;
}

RestoreDated::RestoreDated(QWidget* parent)
    : ListPickDialog(parent, "RestoreDated", QStringLiteral("Select Backup"),
                     QStringLiteral("Select date of backup to restore, then click OK."),
                     "lstBackups") {
    lstBackups->setAccessibleName(lblPrompt->text());
    lstBackups->setSelectionMode(QAbstractItemView::SingleSelection);
    // Room for the widest date and eight of them without scrolling.
    const QFontMetrics metrics = lstBackups->fontMetrics();
    lstBackups->setMinimumSize(metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00PM")) + 40,
                               (metrics.height() + 2) * 8);
    // Wide enough for the prompt on one line; narrower, it wraps.
    resize(lblPrompt->fontMetrics().horizontalAdvance(lblPrompt->text()) + 40, sizeHint().height());
    connect(lstBackups, &QListWidget::itemDoubleClicked, this, &RestoreDated::cmdOkay_Click);
    SetHelpContext(*this, glngHELP_RESTORE);
}

int16_t RestoreDated::intShowMe() {
    try {
        lstBackups->clear();
        // Newest first: the backup wanted is usually the last one made.
        std::vector<int16_t> aOrder(static_cast<std::size_t>(gintDatedCount));
        std::iota(aOrder.begin(), aOrder.end(), int16_t{1});
        std::stable_sort(aOrder.begin(), aOrder.end(), [](int16_t a, int16_t b) {
            return gaDatedBackups[static_cast<std::size_t>(a - 1)].datMade >
                   gaDatedBackups[static_cast<std::size_t>(b - 1)].datMade;
        });
        for (const int16_t i : aOrder) {
            auto* objItem = new QListWidgetItem(
                QString::fromStdString(
                    strDatedText(gaDatedBackups[static_cast<std::size_t>(i - 1)].datMade)),
                lstBackups);
            objItem->setData(Qt::UserRole, i);
        }
        mintResult = 0;
        exec();
        return mintResult;
    } catch (...) {
        AppErrors().NestedError("RestoreDated.intShowMe");
    }
}

void RestoreDated::cmdOkay_Click() {
    try {
        const QList<QListWidgetItem*> colItems = lstBackups->selectedItems();
        if (colItems.isEmpty()) {
            ui::Ui().MsgBox("You must select a backup date first.", ui::vbCritical + ui::vbOKOnly,
                            gstrAPP_TITLE);
            lstBackups->setFocus();
            return;
        }
        mintResult = static_cast<int16_t>(colItems.first()->data(Qt::UserRole).toInt());
        accept();
    } catch (...) {
        AppErrors().TopError("RestoreDated.cmdOkay_Click");
    }
}

void RestoreDated::cmdCancel_Click() {
    try {
        reject();
    } catch (...) {
        AppErrors().TopError("RestoreDated.cmdCancel_Click");
    }
}

}  // namespace tarnwickbackup
