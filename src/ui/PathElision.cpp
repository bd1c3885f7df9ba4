#include "ui/PathElision.h"

#include <QStringList>
#include <algorithm>

namespace tarnwick::ui {

QString elidePath(const QString &path, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width) {
        return path;
    }
    const QString ellipsis = QStringLiteral("…");
    const QStringList parts = path.split(QLatin1Char('/'));
    // The kept end: the last two components, or the last one when there is no more.
    const qsizetype tailStart = std::max<qsizetype>(parts.size() - 2, 1);
    if (parts.size() < 3) {
        return metrics.elidedText(path, Qt::ElideMiddle, width);
    }
    const QString tail = QStringList(parts.mid(tailStart)).join(QLatin1Char('/'));
    // The list repaints its visible rows often: each component is measured once and the
    // candidates are summed from those widths rather than measured whole.
    const int separator = metrics.horizontalAdvance(QLatin1Char('/'));
    const int fixed = metrics.horizontalAdvance(ellipsis) + 2 * separator + metrics.horizontalAdvance(tail);
    int head = 0;
    int headWidth = 0;
    for (qsizetype next = 0; next < tailStart - 1; ++next) {
        const int grown = headWidth + (next > 0 ? separator : 0) + metrics.horizontalAdvance(parts[next]);
        if (grown + fixed > width) {
            break;
        }
        headWidth = grown;
        head = static_cast<int>(next) + 1;
    }
    if (head >= 1) {
        const QString candidate = QStringList(parts.mid(0, head)).join(QLatin1Char('/')) + QLatin1Char('/') +
                                  ellipsis + QLatin1Char('/') + tail;
        if (metrics.horizontalAdvance(candidate) <= width) {
            return candidate;
        }
    }
    const QString shortest = ellipsis + QLatin1Char('/') + tail;
    if (metrics.horizontalAdvance(shortest) <= width) {
        return shortest;
    }
    return metrics.elidedText(shortest, Qt::ElideMiddle, width);
}

}  // namespace tarnwick::ui
