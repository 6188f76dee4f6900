#pragma once
// The seventeen operation pages of pgcOne, one row per page in page order:
// the cmbOpt item that selects it, its page name and caption, its start
// button, the box cmbVar writes into, and the builder of its controls. The
// selector, the page stack and the catalogue's target are all read from
// this one table, so a page's pieces cannot drift apart by position.

#include <QString>

#include <vector>

class QWidget;

namespace qv::app {

class PageRunner;
struct OperationPage;

// Builds the page of `row` with its controls; its start button runs the
// operation through `runner`, which must outlive the page.
using PageBuilder = QWidget* (*)(const OperationPage& row, PageRunner& runner);

struct OperationPage {
    QString optionText;    // the cmbOpt item
    QString pageName;      // objectName of the page
    QString caption;       // the page's tab caption
    QString buttonName;    // objectName of the start button
    QString buttonCaption; // its caption, "&" marking the access key
    // objectName of the edit box a chosen catalogue entry goes into; empty
    // when the page has none and the entry goes to the clipboard instead.
    QString templateBox;
    PageBuilder build;
};

// The rows in the order cmbOpt lists them; row i is page i of pgcOne.
const std::vector<OperationPage>& operationPages();

} // namespace qv::app
