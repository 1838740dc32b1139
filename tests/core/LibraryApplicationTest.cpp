// The library draws but never makes the process a GUI application: no application object and no
// environment variable appear because a label was drawn. This test program has no application
// object of its own (its main is GoogleTest's).

#include "views/RenderCanvas.h"

#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace kv;

TEST(LibraryApplication, DrawingTextCreatesNoApplicationAndSetsNoEnvironment)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "this test program must not create one";
    const char* before = std::getenv("QT_QPA_PLATFORM");
    const std::string platformBefore = before == nullptr ? "<unset>" : before;
    ::unsetenv("QT_QPA_PLATFORM");

    QImage image(80, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QImage blank = image.copy();
    {
        RenderCanvas canvas(image);
        canvas.text(2, 2, "Needles", kWhite);
        // Lines need no font: they are drawn whatever the process is.
        canvas.setPen(Pen { kWhite, PenStyle::Solid, 1 });
        canvas.moveTo(0, 19);
        canvas.lineTo(79, 19);
    }

    EXPECT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(std::getenv("QT_QPA_PLATFORM"), nullptr);
    // Without a GUI application the label is left out; the line is there.
    EXPECT_EQ(image.copy(0, 0, 80, 18), blank.copy(0, 0, 80, 18));
    EXPECT_EQ(image.pixel(40, 19) & 0xFFFFFFu, 0xFFFFFFu);

    if (platformBefore != "<unset>") {
        ::setenv("QT_QPA_PLATFORM", platformBefore.c_str(), 1);
    }
}

} // namespace
