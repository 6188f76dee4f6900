#pragma once
// The seventeen operation pages of pgcOne, in page order: the cmbOpt item
// that selects each, its page name and caption, and its start button. The
// pages hold their start button and, where the catalogue inserts into one,
// their template box; each operation's own controls come with its page.

#include <QString>

#include <vector>

class QWidget;

namespace qv::app {

struct OperationPage {
    QString optionText;    // the cmbOpt item
    QString pageName;      // objectName of the page
    QString caption;       // the page's tab caption
    QString buttonName;    // objectName of the start button
    QString buttonCaption; // its caption, "&" marking the access key
};

const std::vector<OperationPage>& operationPages();

// Builds page `index` (0..16) with its start button and, where the
// catalogue has a target on that page, the template box.
QWidget* buildOperationPage(int index);

} // namespace qv::app
