// Remarks mode and its document.

#include "app/Remarks.h"

#include "core/Format.h"
#include "geodesy/PositionText.h"
#include "navigation/NmeaBridge.h"

namespace kv {

namespace {
const char* const kCrLf = "\r\n";
} // namespace

Remarks::Remarks(ProgramState& state, Platform& platform)
    : state_(state)
    , platform_(platform)
{
}

Remarks::~Remarks() = default;

std::string Remarks::Expand(const std::string& tpl) const
{
    return ExpandTextTemplate(TemplateRecordsOf(state_), state_.routeTexts, platform_.clock, tpl);
}

void Remarks::ShowCommands()
{
    Display& d = state_.display;
    d.checked[Control::RemarksMode] = state_.app.RemarksMode;
    d.enabled[Control::ShowHideDocument1] = state_.app.RemarksMode && document_ != nullptr;
    if (!d.enabled[Control::ShowHideDocument1]) {
        editor_.documentShown = false;
    }
    d.checked[Control::ShowHideDocument1] = editor_.documentShown;
}

void Remarks::RemarksModeClick()
{
    if (state_.app.RemarksMode) {
        state_.app.RemarksMode = false;
        if (!Close()) {
            platform_.prompter.error(kErrorStoppingWord);
        }
        editor_.documentShown = false;
    } else {
        Start();
    }
    ShowCommands();
}

void Remarks::Start()
{
    state_.app.RemarksMode = true;
    // A document left open by a failed save is taken up again, so nothing typed into it is lost.
    if (document_ == nullptr) {
        auto document = std::make_unique<RemarksDocument>(
            RemarksDocumentPath(state_.folders.LogDir.str(), state_.textLog.LogNameBase.str()));
        if (!document->Continue()) {
            state_.app.RemarksMode = false;
            platform_.prompter.error(kCannotStartWord);
            return;
        }
        document_ = std::move(document);
    }
    document_->TypeText("EVENT LOG " + Expand("@d") + kCrLf + std::string(18, '~') + kCrLf);
    // Written at once: a log folder that cannot take the document is found now, not at the end.
    if (!document_->Save()) {
        document_.reset();
        state_.app.RemarksMode = false;
        platform_.prompter.error(kCannotStartWord);
    }
}

bool Remarks::Close()
{
    if (document_ == nullptr) {
        return true;
    }
    if (!document_->Save()) {
        return false; // kept open: the next start takes it up again
    }
    document_.reset();
    return true;
}

void Remarks::StopAfterFailure()
{
    state_.app.RemarksMode = false;
    platform_.prompter.error(kWordNotRunning);
    ShowCommands();
}

void Remarks::OpenRemarkEditor()
{
    const RouteProgress& progress = state_.routeProgress;
    // Before the first received fix there is no fix time: the remark is timed by the clock.
    std::string time = Expand("  Time: @t");
    if (state_.sentenceFix.FixTimeText.empty()) {
        const auto now = platform_.clock.now();
        time = "  Time: " + ZeroFill(FormatInt(now.hour, 2)) + ":" + ZeroFill(FormatInt(now.minute, 2)) + ":"
            + ZeroFill(FormatInt(now.second, 2));
    }
    editor_.text = "Event Number: " + std::to_string(state_.textLog.EventNumber) + Expand("  Fix Number: @f") + kCrLf
        + Expand("Date: @d") + time + kCrLf + "Ant. Position: " + state_.display.PosnPanel + kCrLf
        + "Tow Position: " + CompactPositionText(progress.TowLat, progress.TowLong) + kCrLf + "Remarks: ";
    editor_.visible = true;
}

void Remarks::SaveRemark1Click(const std::string& editorText)
{
    editor_.visible = false;
    editor_.text = editorText;
    if (!state_.app.RemarksMode || document_ == nullptr) {
        editor_.visible = true; // the remark stays in the editor
        StopAfterFailure();
        return;
    }
    const std::size_t before = document_->items().size();
    document_->TypeText(editorText);
    document_->TypeText(std::string(kCrLf) + kCrLf);
    if (!document_->Save()) {
        document_->Truncate(before);
        editor_.visible = true;
        StopAfterFailure();
        return;
    }
    editor_.text = kRemarkEditorInitialText;
}

void Remarks::DiscardRemarkClick()
{
    editor_.visible = false;
    editor_.text = kRemarkEditorInitialText;
}

void Remarks::ShowHideDocument1Click()
{
    if (document_ != nullptr && state_.app.RemarksMode) {
        editor_.documentShown = !editor_.documentShown;
    }
    ShowCommands();
}

void Remarks::PastePicture(const QImage& picture)
{
    appendAndSave(&picture, state_.display.PosnPanel);
}

void Remarks::AddCopiedText(const std::string& text)
{
    appendAndSave(nullptr, text);
}

// What is added to the document is saved at once; a save that fails takes it out again and ends
// remarks mode, so the document on disk and the one in memory stay the same.
void Remarks::appendAndSave(const QImage* picture, const std::string& text)
{
    if (!state_.app.RemarksMode) {
        return;
    }
    if (document_ == nullptr) {
        StopAfterFailure();
        return;
    }
    const std::size_t before = document_->items().size();
    if (picture != nullptr) {
        document_->Paste(*picture);
    }
    document_->TypeText(text + kCrLf + kCrLf);
    if (!document_->Save()) {
        document_->Truncate(before);
        StopAfterFailure();
    }
}

void Remarks::Shutdown()
{
    if (!state_.app.RemarksMode) {
        return;
    }
    state_.app.RemarksMode = false;
    if (!Close()) {
        platform_.prompter.error(kErrorShuttingDownWord);
    }
    ShowCommands();
}

} // namespace kv
