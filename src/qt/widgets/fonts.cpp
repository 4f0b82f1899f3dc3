#include "qt/widgets/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace qm
{

void EnsureFontSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList installed = QFontDatabase::families();
    const struct {
        const char *designed;
        QStringList candidates;
    } maps[] = {
        {"Verdana", {"DejaVu Sans Condensed", "Liberation Sans Narrow", "DejaVu Sans"}},
        {"Arial", {"Liberation Sans", "DejaVu Sans Condensed"}},
    };
    for (const auto &m : maps) {
        if (installed.contains(QLatin1String(m.designed)))
            continue;
        for (const QString &c : m.candidates)
            if (installed.contains(c)) {
                QFont::insertSubstitution(QLatin1String(m.designed), c);
                break;
            }
    }
}

} // namespace qm
