#include "app/window_font.h"

#include <QApplication>
#include <QFont>

namespace qv::app {

void useWindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    QApplication::setFont(font);
}

} // namespace qv::app
