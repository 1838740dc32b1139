#pragma once
// "AIS Target List": one row per target, sortable by any column, the selected target's row
// selected. Rebuilt from the targets at each refresh; the sort and the selected target stay.

#include "ais/AisTargetList.h"
#include "app/ProgramState.h"
#include "platform/Clock.h"

#include <QWidget>

#include <functional>

class QTableWidget;

namespace kvui {

class AisTargetListWindow final : public QWidget {
    Q_OBJECT
public:
    AisTargetListWindow(kv::ProgramState& state, kv::Clock& clock, QWidget* parent = nullptr);

    // Rows again from the targets, in the chosen order, the selected target's row selected.
    void refresh();
    // Sorts by a column (a click on a header does this, the same column again turns the order).
    void sortBy(kv::TargetListColumn column, bool ascending);
    QTableWidget* table() const { return table_; }
    kv::TargetListColumn sortColumn() const { return column_; }
    bool sortAscending() const { return ascending_; }

    // A row chosen by the user: the target becomes the selected one. Double-click: the views
    // are to show the target and its text window opened.
    std::function<void(int slot)> onSelect;
    std::function<void(int slot)> onActivate;

private:
    void chosen(int row, bool activate);
    // Column widths for the headers and the widest figures, and the window to hold them all.
    void fitColumns();

    kv::ProgramState& state_;
    kv::Clock& clock_;
    QTableWidget* table_;
    kv::TargetListColumn column_ = kv::TargetListColumn::Range;
    bool ascending_ = true;
    bool updating_ = false;
};

} // namespace kvui
