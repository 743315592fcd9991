// A list box whose items are tab-separated columns, placed at tab stops
// given in dialog units as LB_SETTABSTOPS takes them: no stops means a stop
// every 32 units, one stop means a stop every that many units, more stops
// are the positions themselves. A list with a negative stop, or stops not
// strictly ascending, or a single stop of 0, is refused (result 0) and the
// stops stay as they were. A tab past the last of several stops advances by
// one blank. A dialog unit is a quarter of the font's average character
// width (the width of "A".."Z" and "a".."z", averaged as Windows does).
#pragma once

#include <QListWidget>
#include <cstdint>
#include <vector>

#include "platform/ui/ListBoxControl.h"

namespace platform::qt {

class TabListBox : public QListWidget, public platform::ui::ListBoxControl {
    Q_OBJECT

  public:
    explicit TabListBox(QWidget* parent = nullptr);

    int32_t SetTabStops(const std::vector<int32_t>& alngStops) override;
    const std::vector<int32_t>& TabStops() const { return malngStops; }

    // Pixels from the left edge of an item's text at which each
    // tab-separated column of strText starts (the first at 0).
    std::vector<int> ColumnStarts(const QString& strText) const;
    int AverageCharWidth() const;
    int DialogUnitsToPixels(int32_t lngUnits) const;

  private:
    int NextStop(int x) const;

    std::vector<int32_t> malngStops;  // empty: a stop every 32 dialog units
};

}  // namespace platform::qt
