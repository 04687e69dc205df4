#pragma once
#include <QStringView>

// Pure counts behind the status bar and the export report; one pass each.
namespace StatusMetrics {

// Characters of the text without CR and LF; with labelDisplay on, the label
// line (before the first CR) is left out.
qint64 countCharacters(QStringView text, bool labelDisplay);

// Pages of pageHeight rows when every line is cut into rows of rowWidth
// characters. A rowWidth or pageHeight below 1 gives 0 instead of dividing
// by zero or counting backwards.
qint64 countPages(QStringView text, qint64 rowWidth, qint64 pageHeight);

// The rows that countPages lays out, before they are divided into pages.
qint64 countRows(QStringView text, qint64 rowWidth);

} // namespace StatusMetrics
