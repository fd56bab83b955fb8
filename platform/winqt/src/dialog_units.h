// Dialog units to pixels, as the original toolkit converts them: a horizontal
// unit is a quarter of the dialog font's average character width, a vertical
// unit an eighth of its height. Chinese text is shown in a CJK font.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <string>

namespace winqt {

// The font every dialog and message box is shown in.
QFont dialogFont();
// Whether the dialog font's family is installed (a fallback shows boxes for Chinese otherwise).
bool dialogFontInstalled();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }
    int toX(int units) const;
    int toY(int units) const;
    QRect toRect(int x, int y, int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};

inline QString toQt(const std::wstring& text) { return QString::fromStdWString(text); }
inline std::wstring fromQt(const QString& text) { return text.toStdWString(); }

}  // namespace winqt
