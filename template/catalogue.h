#pragma once
// The catalogue of template variables and functions offered by the combo box
// cmbVar, and what choosing an entry does to the text of a template box
// (cmbVarChange); which box that is, each page of the window says. Texts are
// code page 936 byte strings.

#include "text/bytes.h"

#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct CatalogueEntry {
    std::string text;      // the line shown in cmbVar, e.g. "${Ext}: 原扩展名"
    std::string insertion; // what choosing it inserts, e.g. "${Ext}"
};

// The 45 entries in the order cmbVar lists them. The insertion text is the
// entry text up to the "}" of its first "}:", or the entry's long form with
// placeholder arguments where it has one ("${Sn(开始序号,长度)}" rather than
// "${Sn(10,n)}"). Built on first use.
const std::vector<CatalogueEntry>& catalogueEntries();

// The text of a template box after inserting `insertion` into it.
// `selectionStart` is the box's selection start (the caret), a 0-based byte
// offset; `selectionLength` counts bytes. With a selection of at least one
// byte, every occurrence of the selected text anywhere in the box, letter
// case ignored, is replaced by the insertion text. Without one, the insertion
// text goes in at the caret, at the end when the caret lies beyond it. Any
// offsets are accepted: negative ones count as 0.
std::string insertCatalogueItem(std::string_view boxText, text::Pos selectionStart, text::Pos selectionLength,
                                std::string_view insertion);

} // namespace qv
