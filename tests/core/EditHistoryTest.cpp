#include "core/EditHistory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kv::EditHistory;

// Undo hands back the record before each edit, newest first; redo the records undone, and a new
// edit forgets what could be redone. The oldest edits go beyond the limit.
TEST(EditHistory, UndoRedoOrderAndLimit)
{
    EditHistory<std::string> h(3);
    std::string doc = "a";
    for (const char* next : {"ab", "abc", "abcd", "abcde"}) {
        h.record(doc, h.undoStamp() + 1);
        doc = next;
    }
    EXPECT_EQ(h.undoDepth(), 3u); // "a" is beyond the limit
    EXPECT_EQ(h.undoStamp(), 4u);
    for (const char* back : {"abcd", "abc", "ab"}) {
        auto before = h.undo(doc);
        ASSERT_TRUE(before.has_value());
        doc = *before;
        EXPECT_EQ(doc, back);
    }
    EXPECT_FALSE(h.undo(doc).has_value());
    EXPECT_EQ(h.redoStamp(), 2u);
    doc = *h.redo(doc);
    EXPECT_EQ(doc, "abc");
    // A new edit: what was undone cannot come back.
    h.record(doc, 9);
    doc = "abcX";
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(*h.undo(doc), "abc");
    h.clear();
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(h.canRedo());
}

} // namespace
