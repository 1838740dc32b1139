#pragma once
// The remarks document: an event log the program keeps itself. Texts and pictures are appended
// in order and the whole document is written as RTF, which word processors open under the ".doc"
// name the log folder uses. A document written earlier the same day by this program is continued
// rather than replaced; any other file already at the path is left alone and the document goes
// beside it under the next free name.

#include <QImage>

#include <string>
#include <vector>

namespace kv {

// Log folder + log base name + ".doc".
std::string RemarksDocumentPath(const std::string& logDir, const std::string& logBaseName);

class RemarksDocument {
public:
    struct Item {
        std::string text; // single-byte text, CR LF line ends; empty for a picture
        QImage picture; // null for a text
    };

    // A new, empty document that will be saved at `path` (see Continue).
    explicit RemarksDocument(std::string path);

    // Continues the document at the path when this program wrote it; when another file stands
    // there, moves the save path to the next free name beside it. False when the file at the path
    // exists but cannot be read.
    bool Continue();

    void TypeText(const std::string& text);
    void Paste(const QImage& picture);
    // Drops what was appended after the first `itemCount` items (a remark that could not be
    // saved is taken back out, the user still has it in the editor).
    void Truncate(std::size_t itemCount);
    // Writes the whole document (earlier sessions' part first) to `path` through a temporary file
    // so that a failed save leaves the previous file whole. False when it cannot be written.
    bool SaveAs(const std::string& path) const;
    bool Save() const { return SaveAs(path_); }

    // The RTF of the whole document as it would be saved.
    std::string Rtf() const;
    // The document as HTML for the read-only window (pictures as inline PNG data).
    std::string Html() const;

    const std::vector<Item>& items() const { return items_; }
    const std::string& path() const { return path_; }
    bool continued() const { return !earlier_.empty(); }

private:
    std::string path_;
    std::string earlier_; // RTF body of the earlier sessions, without the closing brace
    std::vector<Item> items_;
};

// The tag this program writes into the RTF header; a file carrying it may be continued.
inline constexpr const char* kRemarksGeneratorTag = "{\\*\\generator KVFree remarks;}";

} // namespace kv
