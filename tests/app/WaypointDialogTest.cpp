// The waypoint edit dialog without widgets: the shape list, the R# field's rules, the position
// and grid fields in step, closing, and the symbol preview's pixels.

#include "app/WaypointDialog.h"
#include "app/PreferencesModel.h"
#include "geodesy/Grid.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace kv;

const std::string kDeg(1, kDegreeSign);

std::string Entry(int symbol)
{
    for (const std::string& e : WaypointShapeEntries()) {
        if (ShapeSymbol(e) == symbol) {
            return e;
        }
    }
    return {};
}

TEST(WaypointDialog, ShapeListHoldsTheThirtySevenSymbolsInOrder)
{
    const auto entries = WaypointShapeEntries();
    ASSERT_EQ(entries.size(), 37u);
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
    EXPECT_EQ(entries[0], "00   Medium Cross");
    EXPECT_EQ(entries[19], "19   Small Circle (route waypoint)");
    EXPECT_EQ(entries[32], "32   Chartlet / Information");
    EXPECT_EQ(entries[36], "36   Large cross");
    EXPECT_EQ(ShapeSymbol(kInitialShape), 0);
    EXPECT_EQ(ShapeSymbol("x1   Bad"), -1);
}

TEST(WaypointDialog, ShapeChoiceSetsTheParameterFieldAndItsLabel)
{
    struct Row {
        int symbol;
        bool enabled;
        const char* label;
    };
    const Row rows[] = {
        { 20, true, "Radius" },
        { 21, true, "Radius" },
        { 30, true, "Radius" },
        { 31, true, "Radius" },
        { 23, true, "Zoom" },
        { 32, true, "Pointer" },
        { 33, true, "Pointer" },
        { 2, false, "Radius" },
        { 0, false, "Radius" },
        { 19, false, "Radius" },
        { 36, false, "Radius" },
    };
    for (const Row& r : rows) {
        WaypointDialogModel model;
        model.fields.Radius = "07";
        model.ChooseShape(Entry(r.symbol));
        EXPECT_EQ(model.fields.RadiusEnabled, r.enabled) << r.symbol;
        EXPECT_EQ(model.fields.Label5, r.label) << r.symbol;
        EXPECT_EQ(model.fields.Radius, r.enabled ? "07" : "  ") << r.symbol;
        EXPECT_EQ(model.CurrentSymbol, r.symbol);
    }
}

TEST(WaypointDialog, TypedLatitudeIsCompletedAndFillsTheGrid)
{
    WaypointDialogModel model;
    PositionField field;
    for (char c : std::string("5130N")) {
        field.text.insert(field.caret, 1, c);
        ++field.caret;
        field = model.LatitudeChange(field);
    }
    EXPECT_EQ(field.text, "51" + kDeg + "30.N");
    model.fields.position.Longitude = "000" + kDeg + "07.50000W";
    model.ToOSClick();
    EXPECT_EQ(model.fields.position.Latitude, "51" + kDeg + "30.00000N");
    const NationalGridResult grid = NationalGridFromLatLong(51.5, -0.125, false);
    EXPECT_EQ(model.fields.position.Easting, grid.easting);
    EXPECT_EQ(model.fields.position.Northing, grid.northing);

    // Back from the grid: a moved easting gives a new position.
    model.fields.position.Easting = "530000.00";
    model.ToLatLongClick();
    EXPECT_NE(model.fields.position.Longitude, "000" + kDeg + "07.50000W");
    model.ToOSClick();
    EXPECT_EQ(model.fields.position.Easting, "530000.00");
}

TEST(WaypointDialog, OutsideTheGridShowsStarsAndLeavingThemChangesNothing)
{
    WaypointDialogModel model;
    model.fields.position.Latitude = "10" + kDeg + "00.00000S";
    model.fields.position.Longitude = "050" + kDeg + "00.00000E";
    model.ToOSClick();
    EXPECT_EQ(model.fields.position.Easting, kGridNumberStars);
    EXPECT_EQ(model.fields.position.Northing, kGridNumberStars);
    const auto before = model.fields.position.Latitude;
    model.ToLatLongClick();
    EXPECT_EQ(model.fields.position.Latitude, before);
}

TEST(WaypointDialog, GridFieldsFollowThePositionDisplayMode)
{
    for (int mode = -1; mode <= 8; ++mode) {
        WaypointDialogModel model;
        model.PositionMode = mode;
        model.fields.position.Latitude = "50" + kDeg + "30.00000N";
        model.fields.position.Longitude = "001" + kDeg + "15.00000W";
        model.WPShapeChange();
        if (mode <= 0) {
            EXPECT_TRUE(model.GridEditable());
            EXPECT_EQ(model.EastingCaption(), "OS GB Easting");
            EXPECT_EQ(model.fields.position.Easting, NationalGridFromLatLong(50.5, -1.25, false).easting);
        } else {
            const UtmResult utm = UtmFromLatLong(50.5, -1.25, mode);
            EXPECT_FALSE(model.GridEditable());
            EXPECT_EQ(model.EastingCaption(), "UTM Easting");
            EXPECT_EQ(model.fields.position.Easting, utm.easting) << mode;
            EXPECT_EQ(model.fields.position.Northing, utm.northing) << mode;
            // UTM has no way back: leaving the grid fields keeps the position.
            model.fields.position.Easting = "30U 0000001";
            model.ToLatLongClick();
            EXPECT_EQ(model.fields.position.Latitude, "50" + kDeg + "30.00000N");
        }
    }
}

TEST(WaypointDialog, ClosingCompletesThePositionAndNamesAChartletImage)
{
    WaypointDialogModel model;
    model.fields.WPdesc = "harbour.jpg";
    model.ChooseShape(Entry(32));
    model.fields.position.Latitude = "";
    model.fields.position.Longitude = "";
    EXPECT_EQ(model.FormClose(), std::optional<std::string>("harbour.jpg"));
    EXPECT_EQ(model.fields.position.Longitude, "000" + kDeg + "00.00000W");
    EXPECT_EQ(model.fields.position.Latitude.size(), kLatitudeTextLength);

    model.ChooseShape(Entry(5));
    EXPECT_EQ(model.FormClose(), std::nullopt);
}

TEST(WaypointDialog, PreviewDrawsTheSymbolInTheChartColours)
{
    Settings navyWhite; // the first scheme: white on navy
    WaypointDialogModel model;
    model.ChooseShape(Entry(0)); // medium cross: ±6 pixels
    QImage image = model.Preview(navyWhite, 40, 40);
    EXPECT_EQ(image.pixel(18, 18) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(24, 18) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(18, 12) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(25, 18) & 0xFFFFFF, 0x000080u);
    EXPECT_EQ(image.pixel(19, 19) & 0xFFFFFF, 0x000080u);

    Settings blackOnWhite;
    blackOnWhite.ChartBackColour = ConfigColourOfGridIndex(15);
    blackOnWhite.ChartForeColour = ConfigColourOfGridIndex(0);
    image = model.Preview(blackOnWhite, 40, 40);
    EXPECT_EQ(image.pixel(18, 18) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);

    model.ChooseShape(Entry(8)); // port channel mark: a red 7 × 7 square
    image = model.Preview(navyWhite, 40, 40);
    EXPECT_EQ(image.pixel(15, 15) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(21, 21) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(22, 18) & 0xFFFFFF, 0x000080u);

    model.ChooseShape(Entry(23)); // blank: nothing but the background
    image = model.Preview(navyWhite, 40, 40);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0x000080u) << x << "," << y;
        }
    }

    // A circle symbol shows its ring at a fixed size whatever R#.
    model.ChooseShape(Entry(20));
    model.SetRadius("50");
    image = model.Preview(navyWhite, 40, 40);
    int ringPixels = 0;
    for (int x = 0; x < 40; ++x) {
        ringPixels += (image.pixel(x, 4) & 0xFFFFFF) != 0x000080u ? 1 : 0;
    }
    EXPECT_GT(ringPixels, 0); // the ring passes 14 pixels above the centre
}

} // namespace
