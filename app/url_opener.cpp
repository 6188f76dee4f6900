#include "app/url_opener.h"

#include <QDesktopServices>

namespace qv::app {

bool DesktopUrlOpener::open(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace qv::app
