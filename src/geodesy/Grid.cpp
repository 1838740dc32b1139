#include "geodesy/Grid.h"

#include "core/Format.h"

#include <array>
#include <cmath>

namespace kv {

namespace {

constexpr double kPi = 3.141592653589793;

double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}
double Degrees(double radians)
{
    return radians * 180.0 / kPi;
}

// tan as the grid formulas want it: defined (as 0) where the cosine is exactly 0.
double Tan(double x)
{
    const double c = std::cos(x);
    return c == 0.0 ? 0.0 : std::sin(x) / c;
}

// One transverse Mercator projection: semi-axes already multiplied by the central scale factor,
// true origin and false origin.
struct TransverseMercator {
    double aF0;
    double bF0;
    double n;
    double phi0;
    double N0;
    double E0;

    double e2() const { return (aF0 * aF0 - bF0 * bF0) / (aF0 * aF0); }

    // Developed meridian arc from the true origin's latitude to phi.
    double MeridionalArc(double phi) const
    {
        const double n2 = n * n;
        const double n3 = n2 * n;
        const double d = phi - phi0;
        const double s = phi + phi0;
        return bF0
            * ((1.0 + n + 1.25 * n2 + 1.25 * n3) * d - (3.0 * n + 3.0 * n2 + 2.625 * n3) * std::sin(d) * std::cos(s)
                + (1.875 * n2 + 1.875 * n3) * std::sin(2.0 * d) * std::cos(2.0 * s)
                - (35.0 / 24.0) * n3 * std::sin(3.0 * d) * std::cos(3.0 * s));
    }

    struct Radii {
        double nu;
        double rho;
        double eta2;
    };
    Radii RadiiAt(double phi) const
    {
        const double e2v = e2();
        const double sin2 = std::sin(phi) * std::sin(phi);
        const double nu = aF0 / std::sqrt(1.0 - e2v * sin2);
        const double rho = (1.0 - e2v) * nu / (1.0 - e2v * sin2);
        return { nu, rho, nu / rho - 1.0 };
    }

    // Easting and northing of latitude phi at dLambda from the central meridian (radians).
    void Forward(double phi, double dLambda, double& easting, double& northing) const
    {
        const auto [nu, rho, eta2] = RadiiAt(phi);
        const double M = MeridionalArc(phi);
        const double sinp = std::sin(phi);
        const double cosp = std::cos(phi);
        const double cos3 = cosp * cosp * cosp;
        const double cos5 = cos3 * cosp * cosp;
        const double t = Tan(phi);
        const double t2 = t * t;
        const double t4 = t2 * t2;
        const double I = M + N0;
        const double II = (nu / 2.0) * sinp * cosp;
        const double III = (nu / 24.0) * sinp * cos3 * (5.0 - t2 + 9.0 * eta2);
        const double IIIA = (nu / 720.0) * sinp * cos5 * (61.0 - 58.0 * t2 + t4);
        const double IV = nu * cosp;
        const double V = (nu / 6.0) * cos3 * (nu / rho - t2);
        const double VI = (nu / 120.0) * cos5 * (5.0 - 18.0 * t2 + t4 + 14.0 * eta2 - 58.0 * t2 * eta2);
        const double d1 = dLambda;
        const double d2 = d1 * d1;
        const double d3 = d2 * d1;
        const double d4 = d2 * d2;
        const double d5 = d4 * d1;
        const double d6 = d3 * d3;
        northing = I + II * d2 + III * d4 + IIIA * d6;
        easting = E0 + IV * d1 + V * d3 + VI * d5;
    }
};

// The National Grid: Airy 1830 scaled by 0.9996012717, true origin 49°N 2°W.
constexpr double kNgLambda0 = -2.0;
const TransverseMercator kNationalGrid { 6375020.481, 6353722.49, 0.0016732202895858128, 49.0 * kPi / 180.0, -100000.0,
    400000.0 };

bool InNationalGrid(double easting, double northing)
{
    // Written so that a NaN is outside.
    return easting >= 0.0 && easting < 700000.0 && northing >= 0.0 && northing < 1300000.0;
}

int DigitValue(char c)
{
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

std::string LetteredReference(double easting, double northing)
{
    std::string e = FormatInt(RoundHalfEven(easting), 6);
    std::string n = FormatInt(RoundHalfEven(northing), 7);
    // The 100 km digits; a blank counts 0.
    const int e100 = DigitValue(e[0]);
    std::string nDigits;
    for (char c : n.substr(0, 2)) {
        if (c != ' ') {
            nDigits += c;
        }
    }
    const int n100 = static_cast<int>(ParseLeadingInt(nDigits).value_or(0));
    e = ZeroFill(e);
    n = ZeroFill(n);

    char square500 = 0;
    int k = 0;
    if (n100 < 5 && e100 < 5) {
        square500 = 'S';
        k = (4 - n100) * 5 + e100;
    } else if (n100 < 5) {
        square500 = 'T';
        k = (4 - n100) * 5 + (e100 - 5);
    } else if (n100 <= 9 && e100 < 5) {
        square500 = 'N';
        k = (9 - n100) * 5 + e100;
    } else if (n100 >= 10 && e100 < 5) {
        square500 = 'H';
        k = (14 - n100) * 5 + e100;
    } else {
        return kGridReferenceStars;
    }
    // 25 letters of the 100 km squares: I is not used.
    const char square100 = static_cast<char>(k > 7 ? 66 + k : 65 + k);
    return std::string { square500, square100 } + " " + e.substr(1, 5) + " " + n.substr(2, 5);
}

struct UtmZoneBand {
    int zone;
    char band;
};

UtmZoneBand ZoneAndBand(double latitude, double longitude)
{
    UtmZoneBand out { 0, 'A' };
    const double z = std::nearbyint((longitude + 183.0) / 6.0); // halves to even: 0° is zone 30
    if (std::isfinite(z) && z >= -1000.0 && z <= 1000.0) {
        out.zone = static_cast<int>(z);
    }
    const double c = std::nearbyint((latitude + 84.0) / 8.0);
    int code = 66 + ((std::isfinite(c) && c >= 0.0 && c <= 21.0) ? static_cast<int>(c) : 0);
    if (code > 72) {
        ++code; // I is not used
    }
    if (code > 78) {
        ++code; // nor O
    }
    out.band = static_cast<char>(code);
    if (latitude >= 80.0 && latitude < 84.0) {
        out.band = 'X';
    }
    if (latitude >= 84.0) {
        out.zone = 0;
        out.band = longitude > 0.0 ? 'Z' : 'Y';
    }
    if (latitude <= -80.0) {
        out.zone = 0;
        out.band = longitude > 0.0 ? 'B' : 'A';
    }
    return out;
}

const std::array<Ellipsoid, 8> kEllipsoids { {
    { "International 1924", 6378388.0, 6356911.9462 },
    { "Bessel 1841", 6377397.155, 6356078.9629 },
    { "Clarke 1866", 6378206.4, 6356583.8 },
    { "Clarke 1880", 6378249.145, 6356514.8696 },
    { "Everest", 6377276.34518, 6356075.41511 },
    { "Australian National", 6378160.0, 6356774.7192 },
    { "WGS 72", 6378135.0, 6356750.5 },
    { "WGS 84", 6378137.0, 6356752.3141 },
} };

// Whole metres in 7 columns, zero filled; a value that cannot be written so is shown as stars.
std::string UtmMetres(double metres)
{
    if (!std::isfinite(metres) || std::fabs(metres) > 1e12) {
        return "*******";
    }
    return ZeroFill(FormatInt(RoundHalfEven(metres), 7));
}

} // namespace

NationalGridResult NationalGridFromLatLong(double latitude, double longitudeEast, bool lettered)
{
    NationalGridResult out;
    kNationalGrid.Forward(
        Radians(latitude), Radians(longitudeEast) - Radians(kNgLambda0), out.eastingMetres, out.northingMetres);
    out.inGrid = InNationalGrid(out.eastingMetres, out.northingMetres);
    if (!out.inGrid) {
        out.easting = kGridNumberStars;
        out.northing = kGridNumberStars;
        out.reference = kGridReferenceStars;
        return out;
    }
    if (lettered) {
        out.reference = LetteredReference(out.eastingMetres, out.northingMetres);
    } else {
        out.easting = ZeroFill(FormatFixed(out.eastingMetres, 9, 2));
        out.northing = ZeroFill(FormatFixed(out.northingMetres, 9, 2));
    }
    return out;
}

GridLatLong LatLongFromNationalGrid(double northing, double easting)
{
    const TransverseMercator& g = kNationalGrid;
    GridLatLong out;
    constexpr int kPassLimit = 1001;
    double phi = 70.0 * kPi / 180.0; // the start value of the iteration
    const double nPrime = northing - g.N0;
    TransverseMercator::Radii r {};
    bool settled = false;
    while (true) {
        ++out.passes;
        r = g.RadiiAt(phi);
        const double M = g.MeridionalArc(phi);
        phi = phi + (nPrime - M) / g.aF0;
        // Settled once the arc agrees to the whole metre; compared as doubles so that absurd
        // inputs cannot overflow an integer.
        if (std::nearbyint(nPrime) == std::nearbyint(M)) {
            settled = true;
            break;
        }
        if (out.passes >= kPassLimit) {
            break;
        }
    }
    out.unsettled = !settled;

    const double nu = r.nu;
    const double rho = r.rho;
    const double eta2 = r.eta2;
    const double t = Tan(phi);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double sec = std::sqrt(1.0 + t2);
    const double nu3 = nu * nu * nu;
    const double nu5 = nu3 * nu * nu;
    const double nu7 = nu5 * nu * nu;
    const double VII = t / (2.0 * rho * nu);
    const double VIII = t / (24.0 * rho * nu3) * (5.0 + 3.0 * t2 + eta2 - 9.0 * t2 * eta2);
    const double IX = t / (720.0 * rho * nu5) * (61.0 + 90.0 * t2 + 45.0 * t4);
    const double X = sec / nu;
    const double XI = sec / (6.0 * nu3) * (nu / rho + 2.0 * t2);
    const double XII = sec / (120.0 * nu5) * (5.0 + 28.0 * t2 + 24.0 * t4);
    const double XIIA = sec / (5040.0 * nu7) * (61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6);
    const double dE = easting - g.E0;
    const double dE2 = dE * dE;
    const double dE3 = dE2 * dE;
    const double dE4 = dE2 * dE2;
    const double dE5 = dE4 * dE;
    const double dE6 = dE3 * dE3;
    const double dE7 = dE6 * dE;
    out.latitude = Degrees(phi - VII * dE2 + VIII * dE4 - IX * dE6);
    out.longitudeEast = Degrees(Radians(kNgLambda0) + X * dE - XI * dE3 + XII * dE5 - XIIA * dE7);
    return out;
}

const Ellipsoid& UtmEllipsoid(int mode)
{
    if (mode >= 2 && mode <= 8) {
        return kEllipsoids[static_cast<std::size_t>(mode - 1)];
    }
    return kEllipsoids[0];
}

UtmResult UtmFromLatLong(double latitude, double longitudeEast, int mode)
{
    const Ellipsoid& ellipsoid = UtmEllipsoid(mode);
    const double aF0 = ellipsoid.a * 0.9996;
    const double bF0 = ellipsoid.b * 0.9996;
    const TransverseMercator utm { aF0, bF0, (aF0 - bF0) / (aF0 + bF0), 0.0, 0.0, 500000.0 };

    UtmResult out;
    const UtmZoneBand zb = ZoneAndBand(latitude, longitudeEast);
    out.zone = zb.zone;
    out.band = zb.band;
    const double dLambda = (longitudeEast - (6.0 * out.zone - 183.0)) * kPi / 180.0;
    utm.Forward(Radians(latitude), dLambda, out.eastingMetres, out.northingMetres);
    if (latitude < 0.0) {
        out.northingMetres += 10000000.0;
    }
    if (out.zone >= 1 && out.zone <= 60) {
        out.easting = FormatInt(out.zone, 2) + out.band + " " + UtmMetres(out.eastingMetres);
        out.northing = " " + UtmMetres(out.northingMetres);
    } else {
        out.easting = std::string("  ") + out.band + " *******";
        out.northing = " *******";
    }
    return out;
}

} // namespace kv
