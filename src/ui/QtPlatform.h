#pragma once
// The Qt side of the seams the window layer supplies: clipboard, printing and program launch.

#include "platform/Clipboard.h"
#include "platform/Printer.h"
#include "platform/ProgramLauncher.h"

#include <functional>
#include <memory>

class QPrinter;

namespace kvui {

class QtClipboard final : public kv::Clipboard {
public:
    void setText(const std::string& latin1Text) override;
    void setImage(const QImage& image) override;
};

// One printer for the program's run, so the set-up dialog's choices hold for later prints.
class QtPrinter final : public kv::Printer {
public:
    QtPrinter();
    ~QtPrinter() override;
    bool printFitted(const QImage& image) override;
    bool printDrawn(const std::function<QImage(const kv::PrintPage&)>& draw) override;
    void setup() override;
    void preferOrientation(bool landscape) override;

    QPrinter& printer() { return *printer_; }
    // The print dialog with its "White paper" choice; true for Print. Replaced by tests.
    std::function<bool(QPrinter&, bool& whitePaper)> printDialog;
    // Pictures are drawn at the printer's resolution up to this (a whole page of drawing at
    // 600 dpi is some 35 million pixels), and enlarged beyond it.
    static constexpr int kMaxDrawingDpi = 600;

private:
    std::unique_ptr<QPrinter> printer_;
    bool whitePaper_ = true;
};

class QtLauncher final : public kv::ProgramLauncher {
public:
    bool launch(const std::string& program, const std::vector<std::string>& arguments) override;
};

} // namespace kvui
