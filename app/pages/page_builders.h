#pragma once
// One builder per operation page, each defined in its page's file under
// app/pages/ and named in that page's row of operationPages(). Each builds
// its page's controls with their defaults and binds the start button to the
// operation through `runner`.

#include "app/pages/operation_pages.h"
#include "app/pages/run_operation.h"

class QWidget;

namespace qv::app {

QWidget* buildExtensionPage(const OperationPage& info, PageRunner& runner);
QWidget* buildRenamePage(const OperationPage& info, PageRunner& runner);
QWidget* buildDatePage(const OperationPage& info, PageRunner& runner);
QWidget* buildAttributePage(const OperationPage& info, PageRunner& runner);
QWidget* buildFileStatsPage(const OperationPage& info, PageRunner& runner);
QWidget* buildKeyMergePage(const OperationPage& info, PageRunner& runner);
QWidget* buildLineCutPage(const OperationPage& info, PageRunner& runner);
QWidget* buildLineInsertPage(const OperationPage& info, PageRunner& runner);
QWidget* buildLinePatternPage(const OperationPage& info, PageRunner& runner);
QWidget* buildDeleteLinesPage(const OperationPage& info, PageRunner& runner);
QWidget* buildExtractLinesPage(const OperationPage& info, PageRunner& runner);
QWidget* buildLineSyncPage(const OperationPage& info, PageRunner& runner);
QWidget* buildInsertNewLinesPage(const OperationPage& info, PageRunner& runner);
QWidget* buildFileCombinePage(const OperationPage& info, PageRunner& runner);
QWidget* buildConversionPage(const OperationPage& info, PageRunner& runner);
QWidget* buildCharsetPage(const OperationPage& info, PageRunner& runner);
QWidget* buildContentReplacePage(const OperationPage& info, PageRunner& runner);

} // namespace qv::app
