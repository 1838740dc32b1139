// The AIS target list over the main window: opened from the menu, sorted by a header click,
// selection shared with the views, kept across updates, double-click to the target.

#include "UiSupport.h"
#include "app/ProgramState.h"

#include "platform/fake/Fakes.h"
#include "ui/AisTargetListWindow.h"
#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

using namespace kv;

class AisTargetListWindowTest : public ::testing::Test {
protected:
    AisTargetListWindowTest() { kvtest::App(); }
    void SetUp() override
    {
        kvtest::PrepareWorkingFolder(dir);
        window = std::make_unique<kvui::MainWindow>(state, fakes.platform);
        window->start(dir.path(), "");
        window->show();
        window->secsTick();
    }
    void TearDown() override
    {
        fakes.prompter.defaultAnswer = true;
        window->close();
        window.reset();
    }
    void Heard(unsigned mmsi, double lat, double lonEast, double sog, double cog)
    {
        window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(mmsi, lat, lonEast, sog, cog));
    }
    // The MMSIs down the list, read back from the name column (no names: the MMSI shows).
    std::vector<std::string> Column0()
    {
        std::vector<std::string> out;
        QTableWidget* t = window->aisList()->table();
        out.reserve(static_cast<std::size_t>(t->rowCount()));
        for (int r = 0; r < t->rowCount(); ++r) {
            out.push_back(t->item(r, 0)->text().toStdString());
        }
        return out;
    }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    std::unique_ptr<kvui::MainWindow> window;
};

TEST_F(AisTargetListWindowTest, SortsSelectsAndKeepsBothAcrossUpdates)
{
    Heard(235000001, -16.70, 41.80, 8.5, 45.0);
    Heard(235000002, -16.72, 41.75, 3.0, 270.0);
    Heard(235000003, -16.60, 41.60, 12.0, 180.0);
    ASSERT_EQ(state.ais.targets.count(), 3);

    QAction* open = window->command(QStringLiteral("AISTargetList1"));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), QStringLiteral("Target &List"));
    open->trigger();
    kvui::AisTargetListWindow* list = window->aisList();
    ASSERT_TRUE(list->isVisible());
    QTableWidget* table = list->table();
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->columnCount(), 9);
    EXPECT_EQ(table->horizontalHeaderItem(6)->text(), QStringLiteral("CPA Nm"));

    // Header clicks: SOG ascending, then the same header again for descending.
    table->horizontalHeader()->sectionClicked(static_cast<int>(TargetListColumn::SOG));
    EXPECT_EQ(Column0(), (std::vector<std::string> { "235000002", "235000001", "235000003" }));
    table->horizontalHeader()->sectionClicked(static_cast<int>(TargetListColumn::SOG));
    EXPECT_FALSE(list->sortAscending());
    EXPECT_EQ(Column0(), (std::vector<std::string> { "235000003", "235000001", "235000002" }));
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

    // Choosing a row selects that target for the views and the text window, and the choice
    // stays through the redraw (no longer the nearest target highlighted).
    ASSERT_TRUE(state.ais.HighlightNearest);
    table->selectRow(2);
    EXPECT_EQ(state.ais.SelectedTarget, 2);
    EXPECT_FALSE(state.ais.HighlightNearest);

    // A faster newcomer and an update: the order follows the speeds, the selection its target.
    Heard(235000004, -16.65, 41.70, 20.0, 90.0);
    Heard(235000002, -16.72, 41.76, 15.0, 270.0);
    window->refresh();
    EXPECT_EQ(Column0(), (std::vector<std::string> { "235000004", "235000002", "235000003", "235000001" }));
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), 1);
    EXPECT_EQ(state.ais.SelectedTarget, 2);

    // The selection made elsewhere (the text window's selector) shows in the list.
    state.ais.SelectedTarget = 3;
    window->refresh();
    EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), 2);
}

TEST_F(AisTargetListWindowTest, DoubleClickCentresTheViewAndOpensTheText)
{
    Heard(235000001, -16.70, 41.80, 8.5, 45.0);
    Heard(235000002, -16.90, 41.95, 3.0, 270.0);
    window->command(QStringLiteral("AISTargetList1"))->trigger();
    QTableWidget* table = window->aisList()->table();
    int row = 0;
    while (row < table->rowCount() && table->item(row, 0)->text() != QStringLiteral("235000002")) {
        ++row;
    }
    ASSERT_LT(row, table->rowCount());
    EXPECT_FALSE(window->aisWindow()->isVisible());
    table->cellDoubleClicked(row, 3);
    EXPECT_EQ(state.ais.SelectedTarget, 2);
    EXPECT_TRUE(window->aisWindow()->isVisible());
    EXPECT_TRUE(window->aisWindow()->memo()->toPlainText().contains(QStringLiteral("MMSI - 235000002")));
    const ChartView* v = window->controller().views().aisView();
    ASSERT_NE(v, nullptr);
    EXPECT_NEAR(v->centreLat, -16.90, 1e-4);
    EXPECT_NEAR(v->centreLong, -41.95, 1e-4); // west positive
}

TEST_F(AisTargetListWindowTest, DangerousTargetsAreRedAndFirst)
{
    state.extra.CollisionWarnings = true;
    state.fixInfo.OwnLat = -16.70;
    state.fixInfo.OwnLong = -41.70;
    Heard(235000001, -16.60, 41.60, 8.0, 270.0); // far, crossing away
    Heard(235000002, -16.70 + 1.0 / 60.0, 41.70, 6.0, 180.0); // 1 nm north, heading at us
    window->command(QStringLiteral("AISTargetList1"))->trigger();
    QTableWidget* table = window->aisList()->table();
    window->aisList()->sortBy(TargetListColumn::Name, true);
    ASSERT_EQ(Column0().front(), "235000002");
    EXPECT_EQ(table->item(0, 0)->foreground().color(), QColor(Qt::red));
    EXPECT_NE(table->item(1, 0)->foreground().color(), QColor(Qt::red));
}

} // namespace
