#include "TabListBox.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <climits>
#include <cmath>

namespace platform::qt {

namespace {

constexpr int32_t kDefaultTabUnits = 32;

// Paints the item's background as the style does, then each column at its
// stop.
class TabItemDelegate : public QStyledItemDelegate {
  public:
    explicit TabItemDelegate(TabListBox* pList) : QStyledItemDelegate(pList), mpList(pList) {}

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        QStyle* pStyle = opt.widget ? opt.widget->style() : QApplication::style();
        const QRect rcText = pStyle->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
        const QString strText = opt.text;
        opt.text.clear();
        pStyle->drawControl(QStyle::CE_ItemViewItem, &opt, pPainter, opt.widget);

        const bool blnSelected = opt.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        pPainter->save();
        pPainter->setFont(mpList->font());
        pPainter->setPen(
            opt.palette.color(group, blnSelected ? QPalette::HighlightedText : QPalette::Text));
        const QStringList astrColumns = strText.split(QLatin1Char('\t'));
        const std::vector<int> alngStarts = mpList->ColumnStarts(strText);
        for (qsizetype i = 0; i < astrColumns.size(); ++i) {
            QRect rcColumn = rcText;
            rcColumn.setLeft(rcText.left() + alngStarts[static_cast<std::size_t>(i)]);
            if (rcColumn.width() <= 0) break;
            pPainter->drawText(rcColumn, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                               astrColumns[i]);
        }
        pPainter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString strText = index.data(Qt::DisplayRole).toString();
        const int lngLastStart = mpList->ColumnStarts(strText).back();
        const QString strLast = strText.section(QLatin1Char('\t'), -1);
        size.setWidth(lngLastStart + mpList->fontMetrics().horizontalAdvance(strLast) + 8);
        return size;
    }

  private:
    TabListBox* mpList;
};

}  // namespace

TabListBox::TabListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TabItemDelegate(this));
}

int32_t TabListBox::SetTabStops(const std::vector<int32_t>& alngStops) {
    if (std::any_of(alngStops.begin(), alngStops.end(), [](int32_t lng) { return lng < 0; }))
        return 0;
    if (alngStops.size() == 1 && alngStops[0] == 0) return 0;
    for (std::size_t i = 1; i < alngStops.size(); ++i)
        if (alngStops[i] <= alngStops[i - 1]) return 0;
    malngStops = alngStops;
    scheduleDelayedItemsLayout();
    viewport()->update();
    return 1;
}

int TabListBox::AverageCharWidth() const {
    static const QString strAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (fontMetrics().horizontalAdvance(strAlphabet) / 26 + 1) / 2;
}

int TabListBox::DialogUnitsToPixels(int32_t lngUnits) const {
    const double dblPixels = std::round(static_cast<double>(lngUnits) * AverageCharWidth() / 4.0);
    return static_cast<int>(std::clamp(dblPixels, 0.0, static_cast<double>(INT_MAX / 2)));
}

int TabListBox::NextStop(int x) const {
    if (malngStops.size() <= 1) {
        const int32_t lngUnits = malngStops.empty() ? kDefaultTabUnits : malngStops[0];
        const int lngInterval = std::max(1, DialogUnitsToPixels(lngUnits));
        return (x / lngInterval + 1) * lngInterval;
    }
    for (const int32_t lngStop : malngStops) {
        const int lngPixels = DialogUnitsToPixels(lngStop);
        if (lngPixels > x) return lngPixels;
    }
    return x + fontMetrics().horizontalAdvance(QLatin1Char(' '));
}

std::vector<int> TabListBox::ColumnStarts(const QString& strText) const {
    std::vector<int> alngStarts{0};
    const QStringList astrColumns = strText.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i + 1 < astrColumns.size(); ++i)
        alngStarts.push_back(
            NextStop(alngStarts.back() + fontMetrics().horizontalAdvance(astrColumns[i])));
    return alngStarts;
}

}  // namespace platform::qt
