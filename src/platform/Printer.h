#pragma once
// Printing: a view drawn again for the page after the print dialog, an image scaled to the page,
// and the printer set-up dialog.

#include <QImage>

#include <functional>

namespace kv {

// The printable area of a page in the pixels a picture is drawn in for it, and the choices of
// the print dialog.
struct PrintPage {
    int width = 0;
    int height = 0;
    int dotsPerInch = 0;
    bool whitePaper = false; // white background, chart lines in dark colours
};

class Printer {
public:
    virtual ~Printer() = default;
    // Shows the print dialog and prints the image scaled to fit the page; false when the user
    // cancelled or nothing could be printed.
    virtual bool printFitted(const QImage& image) = 0;
    // Shows the print dialog, asks `draw` for the picture of the chosen page and prints it
    // centred, keeping its proportions; false when the user cancelled or nothing was printed.
    virtual bool printDrawn(const std::function<QImage(const PrintPage&)>& draw) = 0;
    // The printer set-up dialog.
    virtual void setup() = 0;
    // The page orientation the next print starts with (the print dialog may still change it):
    // landscape for a picture wider than tall.
    virtual void preferOrientation(bool landscape) { (void)landscape; }
};

} // namespace kv
