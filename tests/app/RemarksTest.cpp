// The remarks document and remarks mode: the RTF written (read back by a small reader here),
// the path rule, the remark at a manual fix, the failure messages and the second session of a
// day.

#include "app/Remarks.h"
#include "app/RemarksDocument.h"
#include "platform/fake/Fakes.h"
#include "support/RtfReader.h"
#include "support/TempDir.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace kv;
using kvtest::ReadRtf;
using kvtest::RtfContent;

QImage Picture(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(RemarksDocument, TextsAndPicturesComeBackInOrder)
{
    kvtest::TempDir dir;
    RemarksDocument doc(dir.file("08-12-26.doc"));
    doc.TypeText("EVENT LOG 08/12/26\r\n~~\r\n");
    doc.Paste(Picture(7, 5, qRgb(255, 0, 0)));
    doc.TypeText("braces {x} back\\slash 50\xb0N\r\n");
    doc.Paste(Picture(3, 2, qRgb(0, 0, 255)));
    doc.TypeText("last");
    ASSERT_TRUE(doc.Save());

    const RtfContent read = ReadRtf(dir.read("08-12-26.doc"));
    // Each picture stands in its own paragraph.
    EXPECT_EQ(read.text, "EVENT LOG 08/12/26\n~~\n\nbraces {x} back\\slash 50\xb0N\n\nlast");
    ASSERT_EQ(read.pictures.size(), 2u);
    EXPECT_EQ(read.pictures[0].size(), QSize(7, 5));
    EXPECT_EQ(read.pictures[0].pixel(3, 3) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(read.pictures[1].size(), QSize(3, 2));
    EXPECT_EQ(read.picturesAt, (std::vector<std::size_t> { 22, 50 }));
    EXPECT_EQ(dir.read("08-12-26.doc").rfind("{\\rtf1", 0), 0u);
}

TEST(RemarksDocument, PathIsLogFolderBaseNameAndDoc)
{
    EXPECT_EQ(RemarksDocumentPath("/boat/logs/", "08-12-26"), "/boat/logs/08-12-26.doc");
}

TEST(RemarksDocument, SecondSessionContinuesItsOwnDocumentAndStepsAsideFromOthers)
{
    kvtest::TempDir dir;
    {
        RemarksDocument first(dir.file("d.doc"));
        ASSERT_TRUE(first.Continue());
        first.TypeText("first session\r\n");
        first.Paste(Picture(2, 2, qRgb(0, 255, 0)));
        ASSERT_TRUE(first.Save());
    }
    RemarksDocument second(dir.file("d.doc"));
    ASSERT_TRUE(second.Continue());
    EXPECT_TRUE(second.continued());
    EXPECT_EQ(second.path(), dir.file("d.doc"));
    second.TypeText("second session");
    ASSERT_TRUE(second.Save());
    const RtfContent read = ReadRtf(dir.read("d.doc"));
    EXPECT_EQ(read.text, "first session\n\nsecond session"); // the picture's paragraph between
    EXPECT_EQ(read.pictures.size(), 1u);

    // A file this program did not write is left alone; the document goes beside it.
    dir.write("e.doc", "a real word processor file");
    dir.write("e-2.doc", "another one");
    RemarksDocument beside(dir.file("e.doc"));
    ASSERT_TRUE(beside.Continue());
    EXPECT_FALSE(beside.continued());
    EXPECT_EQ(beside.path(), dir.file("e-3.doc"));
    ASSERT_TRUE(beside.Save());
    EXPECT_EQ(dir.read("e.doc"), "a real word processor file");
}

class RemarksMode : public ::testing::Test {
protected:
    RemarksMode()
    {
        std::filesystem::create_directories(LogDir());
        state.folders.LogDir = LogDir() + "/";
        state.textLog.LogNameBase = "08-12-26";
        state.textLog.EventNumber = 7;
        state.display.PosnPanel = "50 07.250N 001 15.500W";
        state.routeProgress.TowLat = 50.0 + 7.25 / 60.0;
        state.routeProgress.TowLong = 1.0 + 15.5 / 60.0;
    }
    std::string LogDir() const { return dir.file("logs"); }
    // The log folder replaced by a plain file: nothing can be written into it, whoever runs
    // the tests (permissions do not stop the superuser).
    void MakeUnwritable()
    {
        std::filesystem::remove_all(LogDir());
        dir.write("logs", "not a folder");
    }
    void MakeWritable()
    {
        std::filesystem::remove(LogDir());
        std::filesystem::create_directories(LogDir());
    }
    std::string Document() const { return dir.read("logs/08-12-26.doc"); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    Remarks remarks { state, fakes.platform };
};

TEST_F(RemarksMode, EventLogSessionSavesHeadingRemarksAndPicturesInOrder)
{
    remarks.RemarksModeClick();
    ASSERT_TRUE(state.app.RemarksMode);
    EXPECT_TRUE(state.display.isEnabled(Control::ShowHideDocument1));

    remarks.OpenRemarkEditor();
    ASSERT_TRUE(remarks.editor().visible);
    const std::string remark = remarks.editor().text + "buoy laid";
    remarks.SaveRemark1Click(remark);
    EXPECT_FALSE(remarks.editor().visible);
    remarks.PastePicture(Picture(4, 4, qRgb(1, 2, 3)));
    remarks.OpenRemarkEditor();
    remarks.SaveRemark1Click(remarks.editor().text + "second");
    remarks.RemarksModeClick();
    EXPECT_FALSE(state.app.RemarksMode);
    EXPECT_FALSE(state.display.isEnabled(Control::ShowHideDocument1));
    EXPECT_TRUE(fakes.prompter.messages.empty());

    const RtfContent read = ReadRtf(Document());
    EXPECT_EQ(read.text.rfind("EVENT LOG ", 0), 0u) << read.text;
    EXPECT_NE(read.text.find("\n" + std::string(18, '~') + "\n"), std::string::npos);
    const auto first = read.text.find("Remarks: buoy laid\n\n");
    const auto position = read.text.find("50 07.250N 001 15.500W\n\n", first);
    const auto second = read.text.find("Remarks: second");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(position, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(position, second);
    ASSERT_EQ(read.pictures.size(), 1u);
    EXPECT_GT(read.picturesAt[0], first);
    EXPECT_LE(read.picturesAt[0], position);
}

TEST_F(RemarksMode, ManualFixRemarkHasItsFiveLines)
{
    remarks.RemarksModeClick();
    remarks.OpenRemarkEditor();
    const std::string& text = remarks.editor().text;
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(text.substr(start, at - start));
    }
    lines.push_back(text.substr(start));
    ASSERT_EQ(lines.size(), 5u) << text;
    EXPECT_EQ(lines[0].rfind("Event Number: 7  Fix Number: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("Date: ", 0), 0u);
    EXPECT_NE(lines[1].find("  Time: "), std::string::npos);
    EXPECT_EQ(lines[2], "Ant. Position: 50 07.250N 001 15.500W");
    EXPECT_EQ(lines[3].rfind("Tow Position: 50\xb0"
                             "07.2500N",
                  0),
        0u)
        << lines[3];
    EXPECT_EQ(lines[4], "Remarks: ");

    remarks.DiscardRemarkClick();
    EXPECT_FALSE(remarks.editor().visible);
}

// The remark's time is the fix's; before any fix it is the clock's.
TEST_F(RemarksMode, RemarkTimeIsTheFixTimeOrTheClock)
{
    struct Case {
        const char* fixTime;
        const char* line;
    };
    fakes.clock.time.hour = 9;
    fakes.clock.time.minute = 5;
    fakes.clock.time.second = 7;
    remarks.RemarksModeClick();
    for (const Case& c : { Case { "123519", "  Time: 123519" }, Case { "", "  Time: 09:05:07" } }) {
        state.sentenceFix.FixTimeText = c.fixTime;
        remarks.OpenRemarkEditor();
        const std::string& text = remarks.editor().text;
        const auto line = text.find("Date: ");
        ASSERT_NE(line, std::string::npos);
        const std::string dateLine = text.substr(line, text.find("\r\n", line) - line);
        EXPECT_EQ(dateLine.substr(dateLine.find("  Time:")), c.line) << c.fixTime;
    }
}

TEST_F(RemarksMode, UnwritableLogFolderRefusesToStart)
{
    MakeUnwritable();
    remarks.RemarksModeClick();
    EXPECT_FALSE(state.app.RemarksMode);
    EXPECT_FALSE(state.display.isEnabled(Control::ShowHideDocument1));
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kCannotStartWord));
}

TEST_F(RemarksMode, FailedSaveKeepsTheRemarkAndStopsRemarksMode)
{
    remarks.RemarksModeClick();
    remarks.OpenRemarkEditor();
    MakeUnwritable();
    remarks.SaveRemark1Click("Remarks: must not be lost");
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kWordNotRunning));
    EXPECT_FALSE(state.app.RemarksMode);
    EXPECT_TRUE(remarks.editor().visible);
    EXPECT_EQ(remarks.editor().text, "Remarks: must not be lost");

    // A picture without remarks mode touches no document.
    fakes.prompter.messages.clear();
    remarks.PastePicture(Picture(2, 2, 0));
    EXPECT_TRUE(fakes.prompter.messages.empty());
}

TEST_F(RemarksMode, StopAndQuitReportTheirOwnMessagesWhenTheDocumentCannotBeSaved)
{
    remarks.RemarksModeClick();
    MakeUnwritable();
    remarks.RemarksModeClick();
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kErrorStoppingWord));
    EXPECT_FALSE(state.app.RemarksMode);
    EXPECT_FALSE(state.display.isEnabled(Control::ShowHideDocument1));

    // The document stayed open: once the folder can be written again, the next start takes it
    // up and the quit saves it, heading of the first start included.
    MakeWritable();
    remarks.RemarksModeClick();
    ASSERT_TRUE(state.app.RemarksMode);
    MakeUnwritable();
    remarks.Shutdown();
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kErrorShuttingDownWord));
    MakeWritable();
    remarks.RemarksModeClick();
    remarks.Shutdown();
    const RtfContent read = ReadRtf(Document());
    std::size_t headings = 0;
    for (std::size_t at = 0; (at = read.text.find("EVENT LOG", at)) != std::string::npos; ++at) {
        ++headings;
    }
    EXPECT_EQ(headings, 3u);
}

TEST_F(RemarksMode, SecondStartTheSameDayKeepsTheFirstSession)
{
    remarks.RemarksModeClick();
    remarks.OpenRemarkEditor();
    remarks.SaveRemark1Click("Remarks: morning");
    remarks.RemarksModeClick();
    remarks.RemarksModeClick();
    remarks.OpenRemarkEditor();
    remarks.SaveRemark1Click("Remarks: afternoon");
    remarks.Shutdown();
    const RtfContent read = ReadRtf(Document());
    const auto morning = read.text.find("morning");
    ASSERT_NE(morning, std::string::npos);
    EXPECT_LT(morning, read.text.find("afternoon"));
}

TEST_F(RemarksMode, ShowHideDocumentTogglesOnlyWhileTheDocumentIsOpen)
{
    remarks.ShowHideDocument1Click();
    EXPECT_FALSE(remarks.editor().documentShown);
    remarks.RemarksModeClick();
    remarks.ShowHideDocument1Click();
    EXPECT_TRUE(remarks.editor().documentShown);
    EXPECT_TRUE(state.display.isChecked(Control::ShowHideDocument1));
    EXPECT_NE(remarks.document()->Html().find("EVENT LOG"), std::string::npos);
    remarks.ShowHideDocument1Click();
    EXPECT_FALSE(remarks.editor().documentShown);
    remarks.ShowHideDocument1Click();
    remarks.RemarksModeClick();
    EXPECT_FALSE(remarks.editor().documentShown);
    EXPECT_FALSE(state.display.isChecked(Control::ShowHideDocument1));
}

} // namespace
