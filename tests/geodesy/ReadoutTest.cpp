#include "geodesy/GridFields.h"
#include "geodesy/PositionReadout.h"
#include "geodesy/PositionText.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {
std::string D(std::string text)
{
    for (char& c : text) {
        if (c == 'o') {
            c = kDegreeSign;
        }
    }
    return text;
}
const double kOsLat = 52.0 + 39.0 / 60.0 + 27.2531 / 3600.0;
const double kOsLonWest = -(1.0 + 43.0 / 60.0 + 4.5177 / 3600.0);
} // namespace

TEST(PositionReadout, LatLongInDecimalMinutesAndInSeconds)
{
    const double lat = 50.0 + 7.25 / 60.0;
    const double lon = 1.0 + 15.5 / 60.0;
    EXPECT_EQ(PositionReadout(lat, lon, 4, -1, true), D("50o07.2500N 001o15.5000W"));
    EXPECT_EQ(PositionReadout(lat, lon, 3, -1, true), D("50o07.250N 001o15.500W"));
    EXPECT_EQ(PositionReadout(lat, lon, 4, -1, false), D("50o07'15.0N 001o15'30.0W"));
    EXPECT_EQ(PositionReadout(-lat, -lon, 4, -1, false), D("50o07'15.0S 001o15'30.0E"));
    // Seconds are truncated to the tenth, never carried into the minute.
    EXPECT_EQ(PositionReadout(50.0 + 15.99999 / 60.0, 0.0, 4, -1, false), D("50o15'59.9N 000o00'00.0W"));
    EXPECT_EQ(PositionReadout(50.0 + (5.0 + 5.04 / 60.0) / 60.0, 0.0, 4, -1, false).substr(0, 11), D("50o05'05.0N"));
    EXPECT_EQ(PositionReadout(8.0 / 60.0, 0.0, 4, -1, false).substr(0, 11), D("00o08'00.0N"));
    EXPECT_EQ(PositionReadout(50.999999999999, 0.0, 4, -1, false).substr(0, 11), D("51o00'00.0N"));
    // No clamping here: the views clamp before they ask.
    EXPECT_EQ(PositionReadout(86.0, 0.0, 4, -1, true), D("86o00.0000N 000o00.0000W"));
    // Any negative mode is latitude/longitude.
    EXPECT_EQ(PositionReadout(lat, lon, 4, -5, true), PositionReadout(lat, lon, 4, -1, true));
}

TEST(PositionReadout, NationalGridLetteredOrNumericByStyle)
{
    EXPECT_EQ(PositionReadout(kOsLat, kOsLonWest, 4, 0, true), "TG 51410 13177");
    EXPECT_EQ(PositionReadout(kOsLat, kOsLonWest, 4, 0, false), "E651409.90 N313177.27");
    EXPECT_EQ(PositionReadout(49.0, 2.0, 4, 0, true), "**************");
    EXPECT_EQ(PositionReadout(49.0, 2.0, 4, 0, false), "E********** N**********");
    // North of T: numeric figures but no letters.
    EXPECT_EQ(PositionReadout(55.0, -1.0, 4, 0, true), "**************");
    EXPECT_EQ(PositionReadout(55.0, -1.0, 4, 0, false).substr(0, 2), "E5");
}

TEST(PositionReadout, UtmEastingFollowedDirectlyByNorthing)
{
    EXPECT_EQ(PositionReadout(51.5, 0.1, 4, 8, true), "30U 0701278 5709417");
    EXPECT_EQ(PositionReadout(51.5, 0.1, 4, 8, false), "30U 0701278 5709417");
    EXPECT_EQ(PositionReadout(-33.9, -151.2, 4, 8, true), "56H 0333569 6247473");
    EXPECT_EQ(PositionReadout(85.0, -10.0, 4, 8, true), "  Z ******* *******");
    EXPECT_NE(PositionReadout(51.5, 0.1, 4, 1, true), PositionReadout(51.5, 0.1, 4, 8, true));
    EXPECT_LE(PositionReadout(51.5, 0.1, 10, -1, true).size(), kReadoutMaxLength);
}

TEST(PositionReadout, PanelClickShowsDecimalDegreesOnlyInLatLongMode)
{
    const double lat = 50.0 + 7.25 / 60.0;
    const double lon = 1.0 + 15.5 / 60.0;
    EXPECT_EQ(PosnPanelClickText(lat, lon, -1), D("50.12083o -1.25833o (S/W -ve)"));
    EXPECT_FALSE(PosnPanelClickText(lat, lon, 0));
    EXPECT_FALSE(PosnPanelClickText(lat, lon, 8));
    EXPECT_TRUE(GridDisplay(0));
    EXPECT_FALSE(GridDisplay(-1));
}

TEST(WaypointGridFields, PositionToGridAndBack)
{
    WaypointPositionFields f;
    f.Latitude = D("52o39.45422N");
    f.Longitude = D("001o43.07530E");
    ToOSClick(f);
    EXPECT_EQ(f.Easting.substr(0, 5), "65140");
    EXPECT_EQ(f.Northing.substr(0, 5), "31317");
    f.Latitude.clear();
    f.Longitude.clear();
    ToLatLongClick(f);
    EXPECT_EQ(f.Latitude, D("52o39.45422N"));
    EXPECT_EQ(f.Longitude, D("001o43.07530E"));

    // Partly typed fields are completed first; outside the grid the stars block the way back.
    f.Latitude = D("10o");
    f.Longitude = "";
    ToOSClick(f);
    EXPECT_EQ(f.Latitude, D("10000000000o")); // the degree sign was the last character typed
    EXPECT_EQ(f.Easting, "**********");
    const std::string lat = f.Latitude;
    ToLatLongClick(f);
    EXPECT_EQ(f.Latitude, lat);

    // A northing that is not a number leaves the position as it was.
    f.Latitude = D("50o00.00000N");
    f.Easting = "400000";
    f.Northing = "12x";
    ToLatLongClick(f);
    EXPECT_EQ(f.Latitude, D("50o00.00000N"));
}
