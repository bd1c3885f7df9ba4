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
    // The longest start (whole components) that still fits before "/…/tail".
    for (qsizetype head = tailStart - 1; head >= 1; --head) {
        const QString candidate = QStringList(parts.mid(0, head)).join(QLatin1Char('/')) + QLatin1Char('/') + ellipsis +
                                  QLatin1Char('/') + tail;
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
