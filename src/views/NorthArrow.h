#pragma once
// The north arrow of a turned view: a small arrow pointing to north with an "N" at its head, in
// a corner of the window and of a printed page.

#include "views/RenderCanvas.h"
#include "views/ViewGeometry.h"

#include <QImage>

class QPainter;

namespace kv {

// Screen direction of north on a picture turned by `angleRadians` (y downwards): (sin, −cos).
struct NorthDirection {
    double x = 0.0;
    double y = -1.0;
};
NorthDirection NorthOnScreen(double angleRadians);

// The arrow in a square of `size` pixels whose top left corner is (x, y).
void DrawNorthArrow(QPainter& painter, int x, int y, int size, double angleRadians, Rgb colour, Rgb background);

// The arrow on a patch of the background, for the window's corner; a null image when the picture
// is not turned (north up).
QImage NorthArrowImage(double angleRadians, Rgb colour, Rgb background);

} // namespace kv
