#include "geodesy/Grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace kv;

namespace {

double Dms(double d, double m, double s)
{
    return d + m / 60.0 + s / 3600.0;
}

// Metres on the ground between two positions, good enough to judge millimetres.
double GroundMetres(double lat1, double lon1, double lat2, double lon2)
{
    const double k = 3.141592653589793 / 180.0 * 6371000.0;
    const double dy = (lat2 - lat1) * k;
    const double dx = (lon2 - lon1) * k * std::cos(lat1 * 3.141592653589793 / 180.0);
    return std::hypot(dx, dy);
}

} // namespace

TEST(NationalGrid, OrdnanceSurveyWorkedExampleInBothForms)
{
    const double lat = Dms(52, 39, 27.2531);
    const double lon = Dms(1, 43, 4.5177);
    const auto numeric = NationalGridFromLatLong(lat, lon, false);
    EXPECT_EQ(numeric.easting, "651409.90");
    EXPECT_EQ(numeric.northing, "313177.27");
    EXPECT_EQ(numeric.reference, "");
    EXPECT_NEAR(numeric.eastingMetres, 651409.903, 0.001);
    EXPECT_NEAR(numeric.northingMetres, 313177.270, 0.001);
    const auto lettered = NationalGridFromLatLong(lat, lon, true);
    EXPECT_EQ(lettered.reference, "TG 51410 13177"); // 651409.90 rounds up to ...410
    EXPECT_EQ(lettered.reference.size(), 14u);
    EXPECT_EQ(lettered.easting, "");
    EXPECT_EQ(lettered.northing, "");
}

TEST(NationalGrid, LetteredSquaresAcrossTheFiveHundredKilometreSquares)
{
    struct Case {
        double lat, lonEast;
        const char* reference;
    };
    const Case cases[] = {
        { 58.9, -3.2, "HY 30867 01984" }, // northing past 1000 km: H
        { 60.3, -1.2, "HU 44212 57523" }, { 50.5, -1.5, "SZ 35457 66875" }, // blank 100 km digits count 0
    };
    for (const auto& c : cases) {
        const auto r = NationalGridFromLatLong(c.lat, c.lonEast, true);
        EXPECT_EQ(r.reference, c.reference) << c.lat;
        // The digits of the reference are the numeric form rounded to whole metres.
        const auto n = NationalGridFromLatLong(c.lat, c.lonEast, false);
        ASSERT_EQ(n.easting.size(), 9u);
        ASSERT_GE(n.northing.size(), 9u); // 10 from 1000 km north
        const long e = std::lround(std::stod(n.easting));
        const long north = std::lround(std::stod(n.northing));
        EXPECT_EQ(r.reference.substr(3, 5), std::to_string(e % 100000 + 100000).substr(1)) << n.easting;
        EXPECT_EQ(r.reference.substr(9, 5), std::to_string(north % 100000 + 100000).substr(1)) << n.northing;
    }
    // 095000.00: a northing below 100 km is zero filled to 9 columns.
    const auto south = NationalGridFromLatLong(49.95, -5.2, false);
    EXPECT_EQ(south.northing.size(), 9u);
    EXPECT_EQ(south.northing[0], '0');
}

TEST(NationalGrid, SquareNorthOfTAndPointsOutsideTheRectangle)
{
    // Northing 500-999 km with easting 500 km or more: inside the rectangle, no letters.
    const auto n = NationalGridFromLatLong(55.0, 1.0, false);
    EXPECT_TRUE(n.inGrid);
    EXPECT_GE(n.eastingMetres, 500000.0);
    EXPECT_GE(n.northingMetres, 500000.0);
    EXPECT_LT(n.northingMetres, 1000000.0);
    EXPECT_NE(n.easting, kGridNumberStars);
    EXPECT_EQ(NationalGridFromLatLong(55.0, 1.0, true).reference, "**************");

    // The true origin: northing -100000, so all three texts are stars.
    const auto origin = NationalGridFromLatLong(49.0, -2.0, false);
    EXPECT_NEAR(origin.eastingMetres, 400000.0, 1e-6);
    EXPECT_NEAR(origin.northingMetres, -100000.0, 1e-6);
    EXPECT_EQ(origin.easting, "**********");
    EXPECT_EQ(origin.northing, "**********");
    EXPECT_EQ(origin.reference, "**************");
    EXPECT_EQ(NationalGridFromLatLong(49.0, -2.0, true).reference, "**************");

    // East of the rectangle, north of it, and values that are not numbers.
    EXPECT_EQ(NationalGridFromLatLong(52.0, 8.0, false).easting, "**********");
    EXPECT_EQ(NationalGridFromLatLong(62.0, -2.0, true).reference, "**************");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(NationalGridFromLatLong(nan, 0.0, true).reference, "**************");
    EXPECT_EQ(NationalGridFromLatLong(90.0, 0.0, false).northing, "**********");
}

TEST(NationalGrid, ReverseConversionReturnsTheStartPointToAMillimetre)
{
    struct Case {
        double lat, lonEast;
    };
    const Case cases[] = { { Dms(52, 39, 27.2531), Dms(1, 43, 4.5177) }, { 58.9, -3.2 }, { 60.3, -1.2 }, { 50.5, -1.5 },
        { 55.0, 1.0 }, { 49.95, -5.2 }, { 51.4778, -0.0015 } };
    for (const auto& c : cases) {
        const auto grid = NationalGridFromLatLong(c.lat, c.lonEast, false);
        const auto back = LatLongFromNationalGrid(grid.northingMetres, grid.eastingMetres);
        EXPECT_FALSE(back.unsettled);
        EXPECT_LE(back.passes, 4) << c.lat;
        EXPECT_LT(GroundMetres(c.lat, c.lonEast, back.latitude, back.longitudeEast), 0.001) << c.lat;
    }
    // The true origin comes back although its texts are stars.
    const auto origin = LatLongFromNationalGrid(-100000.0, 400000.0);
    EXPECT_NEAR(origin.latitude, 49.0, 1e-9);
    EXPECT_NEAR(origin.longitudeEast, -2.0, 1e-9);
}

TEST(NationalGrid, ReverseConversionAlwaysReturnsAndFlagsAnUnsettledIteration)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto r = LatLongFromNationalGrid(nan, 400000.0);
    EXPECT_TRUE(r.unsettled);
    EXPECT_EQ(r.passes, 1001);
    const auto huge = LatLongFromNationalGrid(std::numeric_limits<double>::infinity(), 1e300);
    EXPECT_TRUE(huge.unsettled);
    EXPECT_EQ(huge.passes, 1001);
}

TEST(Utm, WorkedExamplesOnWgs84)
{
    const auto london = UtmFromLatLong(51.5, -0.1, 8);
    EXPECT_EQ(london.easting, "30U 0701278");
    EXPECT_EQ(london.northing, " 5709417");
    const auto sydney = UtmFromLatLong(-33.9, 151.2, 8);
    EXPECT_EQ(sydney.easting, "56H 0333569");
    EXPECT_EQ(sydney.northing, " 6247473");
}

TEST(Utm, ZonesRoundHalvesToEvenAndBandsSkipIAndO)
{
    EXPECT_EQ(UtmFromLatLong(10.0, 0.0, 8).zone, 30); // 183/6 = 30.5
    EXPECT_EQ(UtmFromLatLong(10.0, 6.0, 8).zone, 32); // 189/6 = 31.5
    EXPECT_EQ(UtmFromLatLong(10.0, -177.0, 8).zone, 1);
    EXPECT_EQ(UtmFromLatLong(10.0, -100.0, 8).easting.substr(0, 4), "14P ");
    EXPECT_EQ(UtmFromLatLong(10.0, -174.0, 8).easting.substr(0, 4), " 2P "); // a blank, not a zero

    const auto equator = UtmFromLatLong(0.0, 0.0, 8);
    EXPECT_EQ(equator.easting.substr(0, 4), "30M ");
    EXPECT_EQ(equator.northing, " 0000000");
    EXPECT_EQ(UtmFromLatLong(-0.5, 3.0, 8).northing.substr(0, 3), " 99");

    EXPECT_EQ(UtmFromLatLong(81.0, 10.0, 8).band, 'X');
    EXPECT_EQ(UtmFromLatLong(72.5, 10.0, 8).band, 'X');
    EXPECT_EQ(UtmFromLatLong(-79.9, 10.0, 8).band, 'C');
    EXPECT_EQ(UtmFromLatLong(4.0, 10.0, 8).band, 'N');
    EXPECT_EQ(UtmFromLatLong(60.0, 10.0, 8).band, 'V');
}

TEST(Utm, PolarCapsAndOutsideTheZonesGiveStars)
{
    const auto north = UtmFromLatLong(85.0, 10.0, 8);
    EXPECT_EQ(north.easting, "  Z *******");
    EXPECT_EQ(north.northing, " *******");
    EXPECT_EQ(UtmFromLatLong(84.0, -10.0, 8).easting, "  Y *******");
    EXPECT_EQ(UtmFromLatLong(84.0, 0.0, 8).easting, "  Y *******");
    EXPECT_EQ(UtmFromLatLong(-80.0, 10.0, 8).easting, "  B *******");
    EXPECT_EQ(UtmFromLatLong(-85.0, -10.0, 8).easting, "  A *******");
    EXPECT_EQ(UtmFromLatLong(10.0, -180.0, 8).easting.substr(3), " *******");
    EXPECT_EQ(UtmFromLatLong(10.0, 180.0, 8).zone, 60); // 363/6 = 60.5 rounds to 60
    EXPECT_EQ(UtmFromLatLong(10.0, 190.0, 8).northing, " *******");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(UtmFromLatLong(10.0, nan, 8).northing, " *******");
    EXPECT_EQ(UtmFromLatLong(10.0, 1e300, 8).northing, " *******");
}

TEST(Utm, EllipsoidsFollowTheModeAndChangeTheFigures)
{
    EXPECT_STREQ(UtmEllipsoid(1).name, "International 1924");
    EXPECT_STREQ(UtmEllipsoid(0).name, "International 1924");
    EXPECT_STREQ(UtmEllipsoid(9).name, "International 1924");
    EXPECT_STREQ(UtmEllipsoid(5).name, "Everest");
    EXPECT_STREQ(UtmEllipsoid(8).name, "WGS 84");
    EXPECT_DOUBLE_EQ(UtmEllipsoid(2).a, 6377397.155);
    EXPECT_DOUBLE_EQ(UtmEllipsoid(6).b, 6356774.7192);
    // The same place differs by metres to hundreds of metres between ellipsoids; WGS 72 and 84
    // are within a few metres of each other.
    double previous = 0.0;
    for (int mode = 1; mode <= 8; ++mode) {
        const auto r = UtmFromLatLong(51.5, -0.1, mode);
        EXPECT_EQ(r.easting.substr(0, 4), "30U ");
        EXPECT_NE(r.northingMetres, previous) << mode;
        EXPECT_NEAR(r.northingMetres, 5709417.0, 1000.0) << mode;
        previous = r.northingMetres;
    }
    EXPECT_NEAR(UtmFromLatLong(51.5, -0.1, 7).northingMetres, UtmFromLatLong(51.5, -0.1, 8).northingMetres, 5.0);
}
