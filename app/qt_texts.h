#pragma once
// Qt's own texts in Simplified Chinese: the buttons of the message boxes
// ("确定", "是", "否", "显示细节..."), the file dialogs and the calendar's
// month and day names, so no English shows next to the program's texts.

namespace qv::app {

// Installs Qt's Simplified Chinese translation (qtbase_zh_CN.qm from the Qt
// translations folder, Debian's qt6-translations-l10n) into the running
// application and makes Chinese (PRC) the default locale, whatever the
// machine's locale is. Call once, after the QApplication is made. Returns
// false when the translation file is missing or unreadable; Qt's texts then
// stay English, and the program works as before.
bool useChineseQtTexts();

} // namespace qv::app
