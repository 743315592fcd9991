#include "LicenceDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "annotator/installer/InstallerTexts.h"

namespace notavex::installer {

LicenceDialog::LicenceDialog(QWidget* pParent) : QDialog(pParent) {
    setObjectName(QStringLiteral("licenceDialog"));
    setWindowTitle(QString::fromUtf8(texts::kInstallerTitle));
    setAccessibleName(QStringLiteral("License Agreement"));

    auto* intro = new QLabel(QString::fromUtf8(texts::kLicenceIntro), this);
    intro->setObjectName(QStringLiteral("intro"));
    intro->setAccessibleName(QStringLiteral("Introduction"));
    intro->setWordWrap(true);
    auto* text = new QPlainTextEdit(QString::fromUtf8(texts::kLicenceText), this);
    text->setObjectName(QStringLiteral("licenceText"));
    text->setAccessibleName(QStringLiteral("License Agreement text"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Wide enough for the agreement's longest line, so only the length scrolls.
    const int width = text->fontMetrics().horizontalAdvance(QString(80, QLatin1Char('M')));
    text->setMinimumSize(width + 2 * text->frameWidth() + 24, 300);
    auto* question = new QLabel(QString::fromUtf8(texts::kLicenceQuestion), this);
    question->setObjectName(QStringLiteral("question"));
    question->setAccessibleName(QStringLiteral("Question"));
    question->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* accept =
        buttons->addButton(QStringLiteral("Accept"), QDialogButtonBox::AcceptRole);
    accept->setObjectName(QStringLiteral("accept"));
    accept->setAccessibleName(QStringLiteral("Accept"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(text, 1);
    layout->addWidget(question);
    layout->addWidget(buttons);
}

}  // namespace notavex::installer
