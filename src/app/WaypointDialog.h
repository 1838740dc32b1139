#pragma once
// The waypoint edit dialog without its widgets: one chart waypoint's label, position (latitude
// and longitude texts kept in step with the National Grid fields), symbol with its live preview,
// and the symbol parameter R#. The chart-waypoint commands fill it, show it and read it back.

#include "core/Settings.h"
#include "geodesy/GridFields.h"
#include "geodesy/PositionText.h"

#include <QImage>

#include <optional>
#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kAddWaypointCaption = "Add New Waypoint";
inline constexpr const char* kEditWaypointCaption = "Edit Nearest Waypoint";
inline constexpr const char* kNearestWaypointCaption = "Nearest Waypoint";
inline constexpr const char* kInitialShape = "00   Medium Cross +";
inline constexpr const char* kSaveChangesHint = "Save Changes|";
inline constexpr std::size_t kWPdescLength = 24;
inline constexpr std::size_t kRadiusLength = 2;
// The symbol preview draws the symbol centred here.
inline constexpr int kPreviewCentre = 18;

// The 37 entries of the shape list, "NN   Name", in list (sorted) order.
std::vector<std::string> WaypointShapeEntries();

struct WaypointDialogFields {
    std::string Caption = kAddWaypointCaption;
    std::string WPdesc;
    WaypointPositionFields position; // Latitude, Longitude, Easting, Northing
    std::string WPShape = kInitialShape;
    std::string Radius = "01";
    bool RadiusEnabled = false;
    std::string Label5 = "Radius";
    int Nwps = 0;
};

class WaypointDialogModel {
public:
    WaypointDialogFields fields;
    int CurrentSymbol = 0;
    // The position display mode (-1 latitude/longitude, 0 National Grid, 1 … 8 UTM). With a UTM
    // mode the grid fields show UTM on that mode's ellipsoid; UTM converts one way only, so the
    // grid fields are then read-only.
    int PositionMode = -1;
    bool GridEditable() const { return PositionMode <= 0; }
    // "OS GB Easting" or "UTM Easting".
    std::string EastingCaption() const;

    // Runs when the dialog is shown and whenever the shape changes: completes the position and
    // fills the grid fields, sets the R# field's state and label, and remembers the symbol.
    void WPShapeChange();
    // The shape list's choice.
    void ChooseShape(const std::string& entry);
    // Typing aids: the field's text and caret after a change.
    PositionField LatitudeChange(PositionField typed);
    PositionField LongitudeChange(PositionField typed);
    // Leaving a position field or a grid field.
    void ToOSClick();
    void ToLatLongClick();
    void SetDescription(const std::string& text);
    void SetRadius(const std::string& text);

    // Closing, by OK or Cancel: both position texts completed. For a chartlet (32 or 33) the
    // image the description names, for the raster image viewer.
    std::optional<std::string> FormClose();

    // The symbol preview: a width × height picture in the chart background with the current
    // symbol at (18, 18), drawn as the views draw it.
    QImage Preview(const Settings& settings, int width, int height) const;
};

// The symbol number of a shape text (its first two characters), or -1.
int ShapeSymbol(const std::string& shapeText);

} // namespace kv
