#pragma once
// Designed geometry is in twips; 15 twips make one pixel at 96 dots per inch.

#include <QFont>
#include <QRect>
#include <QWidget>

namespace qm
{

inline QRect Twips(int l, int t, int w, int h)
{
    return {l / 15, t / 15, w / 15, h / 15};
}

// Places `w` at its designed rectangle, with `family` at `points` (none: the
// window's default font).
inline void Place(QWidget *w, QRect r, const char *family = nullptr, double points = 0,
                  bool bold = false)
{
    w->setGeometry(r);
    if (family) {
        QFont f(QString::fromLatin1(family));
        f.setPointSizeF(points);
        f.setBold(bold);
        w->setFont(f);
    }
}

} // namespace qm
