#pragma once
// Sorting the file list by one column, as a click on a column title does.
//
// Every row gets a key that ends with its former row number:
//   name      name "." row
//   folder    folder "/" name "." row
//   created   creation text "." row
//   modified  modification text "." row
//   type      type "\" name "." row
// The keys are lower-cased (ASCII letters only, second bytes of double-byte
// characters untouched) and compared byte by byte. In code page 936 the
// byte order puts the common Chinese characters in pinyin order, and it is
// the same on every machine. Because each key ends with its row number, no
// two keys are equal: rows with equal cells keep the order of their former
// row numbers compared as text (row 10 before row 2 when ascending), and a
// descending sort is the exact reverse of an ascending one.
//
// The size column is ordered by the exact 64-bit size; rows of equal size
// by their former row number (ascending: lower first; descending reverses
// the whole order).
//
// Each mark moves with its entry.
// Cost: O(N log N) comparisons and about N x (key length + 24) bytes of
// temporary memory; 500,000 rows sort in well under a second.

#include "filelist/file_list.h"

namespace qv {

// Sorts by `column` (0 to 5; other values do nothing). An empty list (its
// placeholder row) stays as it is.
void sortFileList(FileList& files, int column, bool ascending);

} // namespace qv
