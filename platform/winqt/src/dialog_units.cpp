// The dialog font and the base units derived from it.
#include "dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace winqt {

namespace {
const char* const kFamily = "WenQuanYi Micro Hei";
// 9 points at 96 dots per inch, the size dialogs of the original are laid out for.
const int kPixelSize = 12;
}  // namespace

QFont dialogFont() {
    QFont font(QString::fromLatin1(kFamily));
    font.setPixelSize(kPixelSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

bool dialogFontInstalled() { return QFontDatabase::families().contains(QString::fromLatin1(kFamily)); }

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    // The average over the 52 Latin letters, rounded, as the original measures it.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters + 26) / 52;
    m_baseY = metrics.height();
    if (m_baseX < 1) m_baseX = 1;
    if (m_baseY < 1) m_baseY = 1;
}

// Rounded as MulDiv rounds.
int DialogUnits::toX(int units) const { return (units * m_baseX + 2) / 4; }
int DialogUnits::toY(int units) const { return (units * m_baseY + 4) / 8; }

QRect DialogUnits::toRect(int x, int y, int cx, int cy) const {
    const int left = toX(x), top = toY(y);
    return QRect(left, top, toX(x + cx) - left, toY(y + cy) - top);
}

}  // namespace winqt
