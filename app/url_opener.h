#pragma once
// Opens a web address or a file the way the desktop does (browser, text
// editor). Tests give the window a recording fake.

#include <QUrl>

namespace qv::app {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when the desktop has no program to open `url` with (or it could
    // not be started); a program that starts and then fails is not seen.
    virtual bool open(const QUrl& url) = 0;
};

class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

} // namespace qv::app
