#pragma once
// An undo and redo history of snapshots of one edited record (a chart, a route). Each entry is
// the record as it was before an edit; undoing swaps it with the record as it is now, so redo
// has that to go back to. The entries carry a stamp from a counter shared by several histories,
// so that one Undo command can take back the newest edit of whichever record it was made on.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

namespace kv {

template <class Snapshot> class EditHistory {
public:
    explicit EditHistory(std::size_t limit)
        : limit_(limit)
    {
    }

    struct Entry {
        Snapshot before;
        std::uint64_t stamp = 0;
    };

    // An edit was made: `before` is the record as it was. Redo is no longer possible.
    void record(Snapshot before, std::uint64_t stamp)
    {
        undo_.push_back(Entry { std::move(before), stamp });
        if (undo_.size() > limit_) {
            undo_.pop_front(); // the oldest edit can no longer be taken back
        }
        redo_.clear();
    }

    // The record to restore for an undo, given the record as it is now; none when there is
    // nothing to undo.
    std::optional<Snapshot> undo(Snapshot current) { return swap(undo_, redo_, std::move(current)); }
    std::optional<Snapshot> redo(Snapshot current) { return swap(redo_, undo_, std::move(current)); }

    void clear()
    {
        undo_.clear();
        redo_.clear();
    }
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoDepth() const { return undo_.size(); }
    // Stamp of the edit an undo (or redo) would act on; 0 when there is none.
    std::uint64_t undoStamp() const { return undo_.empty() ? 0 : undo_.back().stamp; }
    std::uint64_t redoStamp() const { return redo_.empty() ? 0 : redo_.back().stamp; }

private:
    static std::optional<Snapshot> swap(std::deque<Entry>& from, std::deque<Entry>& to, Snapshot current)
    {
        if (from.empty()) {
            return std::nullopt;
        }
        Entry e = std::move(from.back());
        from.pop_back();
        to.push_back(Entry { std::move(current), e.stamp });
        return std::move(e.before);
    }

    std::size_t limit_;
    std::deque<Entry> undo_;
    std::deque<Entry> redo_;
};

} // namespace kv
