#include "ui/AisTargetListWindow.h"

#include "ais/AisTargets.h"
#include "ui/NightPaletteUi.h"
#include "ui/UiText.h"

#include <QBrush>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kvui {

namespace {
constexpr int kSlotRole = Qt::UserRole + 1;
}

AisTargetListWindow::AisTargetListWindow(kv::ProgramState& state, kv::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , state_(state)
    , clock_(clock)
{
    setObjectName(QStringLiteral("AISTargetList"));
    setWindowTitle(QStringLiteral("AIS Target List"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    table_ = new QTableWidget(0, kv::kTargetListColumns, this);
    table_->setObjectName(QStringLiteral("TargetTable"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSortingEnabled(false); // the order is the model's: dangerous targets first
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSortIndicatorShown(true);
    table_->horizontalHeader()->setSectionsClickable(true);
    layout->addWidget(table_);

    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        const auto column = static_cast<kv::TargetListColumn>(section);
        sortBy(column, column == column_ ? !ascending_ : true);
    });
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
        if (!updating_ && table_->currentRow() >= 0) {
            chosen(table_->currentRow(), false);
        }
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { chosen(row, true); });
    fitColumns();
}

void AisTargetListWindow::fitColumns()
{
    // Each column as wide as its header or its widest figure, and the window as wide as all of
    // them: the closest approach, its time and the age are the columns that matter most.
    const char* widest[kv::kTargetListColumns] = { "SEAWAYS HARMONY II", "AtoN (virtual)", "9999.99", "359.9", "99.9",
        "359.9", "9999.99", "-9999.9", "999:59" };
    QStringList headers;
    int total = 0;
    const QFontMetrics metrics = table_->fontMetrics();
    const QFontMetrics headerMetrics = table_->horizontalHeader()->fontMetrics();
    for (int c = 0; c < kv::kTargetListColumns; ++c) {
        const QString header
            = Latin1(kv::TargetListHeader(static_cast<kv::TargetListColumn>(c), state_.settings.units));
        headers << header;
        // Room for the sort indicator beside the header text.
        const int width = std::max(
            headerMetrics.horizontalAdvance(header) + 28, metrics.horizontalAdvance(QLatin1String(widest[c])) + 16);
        table_->setColumnWidth(c, width);
        total += width;
    }
    table_->setHorizontalHeaderLabels(headers);
    const int frame = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width() + 8;
    resize(total + frame, 260);
}

void AisTargetListWindow::sortBy(kv::TargetListColumn column, bool ascending)
{
    column_ = column;
    ascending_ = ascending;
    refresh();
}

void AisTargetListWindow::chosen(int row, bool activate)
{
    const QTableWidgetItem* item = table_->item(row, 0);
    if (!item) {
        return;
    }
    const int slot = item->data(kSlotRole).toInt();
    if (!state_.ais.targets.valid(slot)) {
        return;
    }
    state_.ais.SelectedTarget = static_cast<std::uint16_t>(slot);
    if (activate && onActivate) {
        onActivate(slot);
    } else if (!activate && onSelect) {
        onSelect(slot);
    }
}

void AisTargetListWindow::refresh()
{
    updating_ = true;
    std::vector<kv::TargetListRow> rows = kv::BuildTargetRows(state_, kv::DaysFromDateTime(clock_.now()));
    kv::SortTargetRows(rows, column_, ascending_);

    QStringList headers;
    for (int c = 0; c < kv::kTargetListColumns; ++c) {
        headers << Latin1(kv::TargetListHeader(static_cast<kv::TargetListColumn>(c), state_.settings.units));
    }
    table_->setHorizontalHeaderLabels(headers);
    table_->horizontalHeader()->setSortIndicator(
        static_cast<int>(column_), ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);

    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const kv::TargetListRow& row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < kv::kTargetListColumns; ++c) {
            auto* item = table_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                table_->setItem(r, c, item);
            }
            item->setText(Latin1(kv::TargetListCell(row, static_cast<kv::TargetListColumn>(c))));
            item->setTextAlignment(c <= 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            item->setForeground(row.dangerous
                    ? QBrush(QColor(NightAwareColour(QStringLiteral("red"), state_.extra.NightPalette)))
                    : QBrush());
            item->setData(kSlotRole, row.slot);
        }
    }

    // The selected target's row, wherever the sort put it.
    const kv::AisState& ais = state_.ais;
    const kv::TAISTarget* chosen = ais.targets.find(ais.SelectedTarget);
    const int selected = chosen != nullptr ? kv::FindTargetRow(rows, chosen->MMSI) : -1;
    if (selected >= 0) {
        table_->selectRow(selected);
    } else {
        table_->clearSelection();
    }
    updating_ = false;
}

} // namespace kvui
