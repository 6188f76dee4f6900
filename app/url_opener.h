#pragma once
// Opens a web address or a file the way the desktop does (browser, text
// editor). Tests give the window a recording fake.

#include <QUrl>

namespace qv::app {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Failures are not reported: a target that cannot be opened does nothing.
    virtual void open(const QUrl& url) = 0;
};

class DesktopUrlOpener final : public UrlOpener {
public:
    void open(const QUrl& url) override;
};

} // namespace qv::app
