#pragma once
// The seventeen operation pages of pgcOne, in page order: the cmbOpt item
// that selects each, its page name and caption, and its start button. Each
// page's controls and binding live in its own file (page_builders.h).

#include <QString>

#include <vector>

class QWidget;

namespace qv::app {

class PageRunner;

struct OperationPage {
    QString optionText;    // the cmbOpt item
    QString pageName;      // objectName of the page
    QString caption;       // the page's tab caption
    QString buttonName;    // objectName of the start button
    QString buttonCaption; // its caption, "&" marking the access key
};

const std::vector<OperationPage>& operationPages();

// Builds page `index` (0..16) with its controls; its start button runs the
// operation through `runner`, which must outlive the page.
QWidget* buildOperationPage(int index, PageRunner& runner);

} // namespace qv::app
