#include "FolderImages.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTreeWidgetItem>

namespace tarnwickbackup {

namespace {

// Blue, vermillion and near-black stay apart for every common colour
// blindness; the shapes carry the meaning on their own.
const QColor gclrINCLUDE(0, 114, 178);
const QColor gclrEXCLUDE(213, 94, 0);
const QColor gclrSKIP(40, 40, 40);
const QColor gclrINHERIT(120, 120, 120);

void DrawFolder(QPainter& p, double s, const QColor& clrLine) {
    QPainterPath path;
    path.moveTo(0.06 * s, 0.22 * s);
    path.lineTo(0.38 * s, 0.22 * s);
    path.lineTo(0.46 * s, 0.32 * s);
    path.lineTo(0.94 * s, 0.32 * s);
    path.lineTo(0.94 * s, 0.88 * s);
    path.lineTo(0.06 * s, 0.88 * s);
    path.closeSubpath();
    p.setPen(QPen(clrLine, std::max(1.0, s / 16.0)));
    p.setBrush(QColor(250, 222, 140));
    p.drawPath(path);
}

void DrawMark(QPainter& p, const QString& strKey, double s) {
    const double w = std::max(2.0, s * 0.16);
    p.setBrush(Qt::NoBrush);
    if (strKey == QLatin1String("include")) {
        p.setPen(QPen(gclrINCLUDE, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(0.22 * s, 0.58 * s);
        tick.lineTo(0.44 * s, 0.80 * s);
        tick.lineTo(0.86 * s, 0.30 * s);
        p.drawPath(tick);
    } else if (strKey == QLatin1String("exclude")) {
        p.setPen(QPen(gclrEXCLUDE, w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.28 * s, 0.40 * s), QPointF(0.76 * s, 0.84 * s));
        p.drawLine(QPointF(0.76 * s, 0.40 * s), QPointF(0.28 * s, 0.84 * s));
    } else if (strKey == QLatin1String("skip")) {
        // The "no entry" sign: a ring with a bar across.
        p.setPen(QPen(gclrSKIP, w * 0.8));
        p.setBrush(QColor(255, 255, 255, 200));
        const QRectF ring(0.26 * s, 0.36 * s, 0.5 * s, 0.5 * s);
        p.drawEllipse(ring);
        p.drawLine(QPointF(0.34 * s, 0.78 * s), QPointF(0.68 * s, 0.44 * s));
    } else if (strKey == QLatin1String("inherit")) {
        // An arrow coming down from the folder above.
        p.setPen(QPen(gclrINHERIT, w * 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath arrow;
        arrow.moveTo(0.30 * s, 0.40 * s);
        arrow.lineTo(0.30 * s, 0.70 * s);
        arrow.lineTo(0.74 * s, 0.70 * s);
        p.drawPath(arrow);
        QPainterPath head;
        head.moveTo(0.60 * s, 0.56 * s);
        head.lineTo(0.76 * s, 0.70 * s);
        head.lineTo(0.60 * s, 0.84 * s);
        p.drawPath(head);
    }
}

QPixmap DrawImage(const QString& strKey, int lngSize) {
    QPixmap pix(lngSize, lngSize);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const bool blnPlain = strKey == QLatin1String("inherit");
    DrawFolder(p, lngSize, blnPlain ? gclrINHERIT : QColor(150, 110, 20));
    DrawMark(p, strKey, lngSize);
    return pix;
}

}  // namespace

QIcon FolderImage(const QString& strKey) {
    static QHash<QString, QIcon> colIcons;
    if (strFolderImageText(strKey).isEmpty()) return QIcon();
    auto it = colIcons.find(strKey);
    if (it != colIcons.end()) return *it;
    QIcon icon;
    for (int lngSize : {16, 22, 24, 32, 48}) icon.addPixmap(DrawImage(strKey, lngSize));
    return *colIcons.insert(strKey, icon);
}

QString strFolderImageText(const QString& strKey) {
    if (strKey == QLatin1String("include")) return QStringLiteral("include");
    if (strKey == QLatin1String("exclude")) return QStringLiteral("exclude");
    if (strKey == QLatin1String("skip")) return QStringLiteral("skip");
    if (strKey == QLatin1String("inherit")) return QStringLiteral("inherit");
    if (strKey == QLatin1String("folder")) return QStringLiteral("folder");
    return QString();
}

void SetItemImage(QTreeWidgetItem& objItem, const QString& strKey) {
    objItem.setIcon(0, FolderImage(strKey));
    objItem.setData(0, Qt::AccessibleDescriptionRole, strFolderImageText(strKey));
    objItem.setData(0, glngIMAGE_KEY_ROLE, strKey);
}

}  // namespace tarnwickbackup
