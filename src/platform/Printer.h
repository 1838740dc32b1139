#pragma once
// Printing a view: the picture scaled to fit the page after the print dialog, and the printer
// set-up dialog.

#include <QImage>

namespace kv {

class Printer {
public:
    virtual ~Printer() = default;
    // Shows the print dialog and prints the image scaled to fit the page; false when the user
    // cancelled or nothing could be printed.
    virtual bool printFitted(const QImage& image) = 0;
    // The printer set-up dialog.
    virtual void setup() = 0;
};

} // namespace kv
