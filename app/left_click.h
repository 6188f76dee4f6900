#pragma once
// A label has no clicked signal; the window's link labels (the maker label,
// the tip strip) act on a left-button release over them instead.

#include <functional>

class QObject;
class QWidget;

namespace qv::app {

// Calls `clicked` whenever the left mouse button is released over `widget`,
// for as long as `context` lives.
void onLeftClick(QWidget* widget, QObject* context, std::function<void()> clicked);

} // namespace qv::app
