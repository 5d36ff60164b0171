#pragma once
// Title bars of windows captioned with a file path.
#include <QString>

class QFontMetrics;
class QMdiSubWindow;

namespace tp {

// The path cut to 'width' pixels in the middle of its folders, so that the file name (after the
// last '/' or '\') stays whole; a name that does not fit by itself is cut at its end.
QString elidePath(const QString& path, const QFontMetrics& metrics, int width);

// The window's title bar shows a title too long for it through elidePath rather than cut at the
// end. The window must be in an MDI area already (which keeps the style its windows share).
void elidePathTitles(QMdiSubWindow& window);

} // namespace tp
