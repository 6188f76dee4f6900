#pragma once
// The file list: the grid's rows of six cells and the marks beside them.
//
// Grid row 0 is the header. Rows 1..N hold the N entries in display order;
// an empty list is shown as one placeholder row (row 1) whose cells are all
// empty, so the grid always has lastRow() + 1 rows.
//
// An entry is stored as its values (name, interned folder, 64-bit size, the
// two local times) rather than as six strings; the size, time and type cells
// are formatted when read. A row costs about 64 bytes plus a name longer than
// 15 bytes, so a million entries fit in well under 100 MB.
//
// A mark belongs to its entry: it is stored in the entry's row, so it moves
// with the entry when the list is sorted or rows are removed, and an entry
// appended by a search or the add command starts unmarked. The placeholder
// row has a mark of its own that no entry ever inherits.
//
// Each entry also knows how its name and folder are written on disk, so that
// every operation reaches exactly the file that was listed (two files "中文.txt",
// one named in UTF-8 and one in code page 936 bytes, are two entries acting
// on two files). The name's disk form costs one byte, its NameEncoding, kept
// in the row's padding: the bytes are the UTF-8 form of the text or the
// text's own bytes (see platform/disk_name.h). A folder's disk form is stored
// once per interned folder, and only where it differs from the folder text
// (a non-ASCII folder): a million rows in a few thousand folders cost a few
// hundred kB more, not a second copy of the names. fullPath() builds the disk
// path when asked, one code page conversion for a non-ASCII UTF-8 name.
//
// The rows are kept in a gap buffer: removing rows one by one while walking
// up (or down) the list moves only the rows between two removals, so the
// delete command's bottom-up walk costs O(rows) in all, not O(rows^2).
//
// An observer is told of every change after it is made, as ranges, so a
// view repaints or shifts only what changed.

#include "platform/disk_name.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qv {

enum Column : int { NameColumn = 0, FolderColumn, SizeColumn, CreatedColumn, ModifiedColumn, TypeColumn };
constexpr int columnCount = 6;

// What the search and the add command append. Texts are code page 936.
struct ListEntry {
    std::string name;   // the file's name, extension included, no folder part
    std::string folder; // the folder as the caller built it
    std::int64_t size = 0;
    std::int64_t created = 0;                   // local seconds since 1970 (see entry_time.h)
    std::int64_t modified = 0;                  // local seconds since 1970
    NameEncoding encoding = NameEncoding::Utf8; // how the name is written on disk
    // The folder's path on disk; none means the UTF-8 form of `folder`.
    std::optional<std::string> diskFolder;
};

// Folder, "/", name, joined as they stand.
std::string joinPath(std::string_view folder, std::string_view name);

// The type cell of a name: from its last "." to the end, dot included;
// empty when the name has no ".".
std::string_view typeOf(std::string_view name);

// Told of each change to a file list right after it is made. Row numbers are
// grid rows (1 is the first entry). A view that counts rows itself stays in
// step by applying the notifications in order: the grid has lastRow() rows
// below the header after the last one.
class FileListObserver {
public:
    virtual ~FileListObserver() = default;
    // Rows first..last were added; the rows that stood there moved down.
    virtual void rowsInserted(std::size_t first, std::size_t last) = 0;
    // The rows that stood at first..last are gone; the rows below moved up.
    virtual void rowsRemoved(std::size_t first, std::size_t last) = 0;
    // Anything may have changed, the row count included.
    virtual void listReset() = 0;
    // Cells of rows first..last, columns firstColumn..lastColumn, show
    // other texts (a mark is part of its name cell, column 0).
    virtual void cellsChanged(std::size_t first, std::size_t last, int firstColumn, int lastColumn) = 0;
};

class FileList {
public:
    // The header row's texts, code page 936.
    static const std::string& headerText(int column);

    std::size_t entryCount() const { return rows_.size() - (gapEnd_ - gapBegin_); }
    bool isEmpty() const { return entryCount() == 0; }
    // Last grid row: N for N entries, 1 (the placeholder) when empty.
    std::size_t lastRow() const { return isEmpty() ? 1 : entryCount(); }

    // The one observer told of changes, or nullptr. Not owned. A copy of the
    // list (or a list moved from it) starts without one.
    void setObserver(FileListObserver* observer) { observer_.ptr = observer; }

    // The text of a cell. Row 0 gives the header; the placeholder row and
    // rows or columns outside the grid give "".
    std::string cell(std::size_t row, int column) const;

    // Entry accessors for rows 1..entryCount(); out-of-range rows give
    // empty values rather than failing.
    std::string_view name(std::size_t row) const;
    std::string_view folder(std::size_t row) const;
    std::int64_t size(std::size_t row) const;
    // The disk path an operation works on: the folder's and the name's disk
    // forms joined by "/", never re-derived from the shown text.
    std::string fullPath(std::size_t row) const;
    // The path as text, folder cell, "/", name cell: for messages and exports.
    std::string shownPath(std::size_t row) const;
    NameEncoding encoding(std::size_t row) const;
    std::string_view diskFolder(std::size_t row) const;
    // The disk path a file of this row's folder gets under `newName` (code
    // page 936), written in UTF-8, as every name the program makes is.
    std::string diskPathFor(std::size_t row, std::string_view newName) const;

    // Rewrite one cell of an entry after an operation changed its file: the
    // name (the type cell follows it) with the way it is now written on disk
    // (UTF-8 for every name the program makes; an undo gives back the old
    // one), or a time in local seconds since 1970.
    // Rows outside 1..entryCount() are left alone.
    void setName(std::size_t row, std::string name, NameEncoding encoding = NameEncoding::Utf8);
    void setCreated(std::size_t row, std::int64_t localSeconds);
    void setModified(std::size_t row, std::int64_t localSeconds);

    // Writes the entry into the placeholder row when the list is empty,
    // otherwise into a new last row. Amortised O(1).
    void append(const ListEntry& entry);
    // Back to an unmarked placeholder row.
    void clear();
    // Removes one entry and its mark; the rows below move up by one, their
    // marks with them. Removing the only entry leaves an unmarked
    // placeholder row. Costs O(distance from
    // the previously removed row), so removing rows in a walk up or down
    // the list costs O(rows) for the whole walk.
    void removeRow(std::size_t row);
    // Removes every entry whose row is marked, in one pass; returns how many.
    // Gives the same list as removing the marked rows one by one from the
    // last up. The observer hears one removal per run of adjacent removed
    // rows, or one reset when there are many runs. O(rows).
    std::size_t removeMarkedRows();
    // Rewrites the rows so that new row k + 1 holds the entry (and mark) of
    // former row order[k] + 1. `order` must be a permutation of
    // 0..entryCount()-1.
    void reorder(const std::vector<std::uint32_t>& order);

    bool isMarked(std::size_t row) const;
    // Row 0 and rows past lastRow() are left alone.
    void setMark(std::size_t row, bool on);
    void flipMark(std::size_t row) { setMark(row, !isMarked(row)); }
    // The same for every row from `first` to `last` (clamped to the grid),
    // told to the observer as one change. O(rows in the range).
    void setMarks(std::size_t first, std::size_t last, bool on);
    void flipMarks(std::size_t first, std::size_t last);

    // Structural invariants, for tests.
    bool isConsistent() const;

private:
    struct Row {
        std::string name;
        std::uint32_t folder = 0;
        bool marked = false;                        // fits in the padding after `folder`
        NameEncoding encoding = NameEncoding::Utf8; // and so does this
        std::int64_t size = 0;
        std::int64_t created = 0;
        std::int64_t modified = 0;
    };

    // The id of the folder whose disk form is `disk` (shown as `folder`).
    std::uint32_t internFolder(const std::string& folder, const std::string& disk);
    // The mark of grid row 1..lastRow(): an entry's own, or the placeholder's.
    bool& markOf(std::size_t row) { return isEmpty() ? placeholderMarked_ : at(row - 1).marked; }
    // Row storage with the gap: entry index i (0-based) lives at rows_[i]
    // before the gap and at rows_[i + gap size] after it.
    Row& at(std::size_t index) { return rows_[index < gapBegin_ ? index : index + (gapEnd_ - gapBegin_)]; }
    const Row& at(std::size_t index) const { return rows_[index < gapBegin_ ? index : index + (gapEnd_ - gapBegin_)]; }
    void moveGapTo(std::size_t index);
    void closeGap();
    // Tell the observer, when there is one.
    void cellsChanged(std::size_t first, std::size_t last, int firstColumn, int lastColumn);
    void notifyRemovedRuns(const std::vector<std::pair<std::size_t, std::size_t>>& runs, std::size_t formerLastRow);

    std::vector<Row> rows_;
    std::size_t gapBegin_ = 0;
    std::size_t gapEnd_ = 0;
    // Not carried over by copies: the observer watches one list.
    struct ObserverSlot {
        FileListObserver* ptr = nullptr;
        ObserverSlot() = default;
        ObserverSlot(const ObserverSlot&) { }
        ObserverSlot& operator=(const ObserverSlot&) { return *this; }
        FileListObserver* operator->() const { return ptr; }
        explicit operator bool() const { return ptr != nullptr; }
    };
    ObserverSlot observer_;
    std::vector<std::string> folders_;                         // texts, by id
    std::vector<std::string> folderDisk_;                      // disk forms by id; "" where equal to the text
    std::unordered_map<std::string, std::uint32_t> folderIds_; // by disk form
    bool placeholderMarked_ = false;
};

} // namespace qv
