#include "app/url_opener.h"

#include <QDesktopServices>

namespace qv::app {

void DesktopUrlOpener::open(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace qv::app
