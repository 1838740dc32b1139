#pragma once
// Remarks mode: the event log document of survey and tow work. Switching it on opens the day's
// document with its heading; every manual fix offers a pre-filled remark; view and plot copies
// go into it; switching it off, or quitting, saves it beside the day's logs. The document is
// saved after every remark and picture as well, so a crash loses nothing already entered.

#include "app/ProgramState.h"
#include "app/RemarksDocument.h"
#include "platform/Platform.h"

#include <QImage>

#include <memory>
#include <string>

namespace kv {

inline constexpr const char* kCannotStartWord = "Cannot Start Word !";
inline constexpr const char* kErrorStoppingWord = "Error sutting down word";
inline constexpr const char* kErrorShuttingDownWord = "Error shutting down word";
inline constexpr const char* kWordNotRunning = "Word is not running! - Remarks mode stopped.";
inline constexpr const char* kRemarkEditorInitialText = "Remark Editor";

// Window names of the remark commands that only the window uses.
namespace ctl {
inline constexpr const char* SaveRemark1 = "SaveRemark1";
inline constexpr const char* DiscardRemark = "DiscardRemark";
inline constexpr const char* RemarkButton = "RemarkBtn";
} // namespace ctl

// What the window shows of remarks mode besides the menu check marks.
struct RemarkEditorState {
    bool visible = false; // the editor, the "!" button and the two remark commands
    std::string text = kRemarkEditorInitialText;
    bool documentShown = false; // the read-only document window
};

class Remarks {
public:
    Remarks(ProgramState& state, Platform& platform);
    ~Remarks();

    // `RemarksMode`: starts remarks while unchecked, stops them while checked.
    void RemarksModeClick();
    // "!" or `SaveRemark1` with the editor's text.
    void SaveRemark1Click(const std::string& editorText);
    void DiscardRemarkClick();
    void ShowHideDocument1Click();
    // A manual fix in remarks mode: the editor with its five lines.
    void OpenRemarkEditor();
    // After a view or plot copy went to the clipboard: the picture and the position line.
    void PastePicture(const QImage& picture);
    // A text copied elsewhere (the AIS target text) goes into the document too, followed by two
    // line breaks, while remarks mode is on.
    void AddCopiedText(const std::string& text);
    // The quit sequence: saves and closes the document when remarks mode is on.
    void Shutdown();

    const RemarkEditorState& editor() const { return editor_; }
    // The open document, or nullptr while remarks mode is off.
    const RemarksDocument* document() const { return document_.get(); }

private:
    void Start();
    // Saves and closes; false when the document could not be saved (it stays open then).
    bool Close();
    void StopAfterFailure();
    void appendAndSave(const QImage* picture, const std::string& text);
    std::string Expand(const std::string& tpl) const;
    void ShowCommands();

    ProgramState& state_;
    Platform& platform_;
    RemarkEditorState editor_;
    std::unique_ptr<RemarksDocument> document_;
};

} // namespace kv
