#pragma once

#include "core/SuperCleanTier.h"

#include <QWidget>

class QLabel;
class QPainter;

namespace tarnwick {

// A tier as a coloured symbol and word: Recommended (green shield), Review (blue eye), Advanced
// (orange triangle). The item list paints the same badge without a widget per row.
class SuperCleanTierBadge : public QWidget {
    Q_OBJECT
public:
    explicit SuperCleanTierBadge(SuperCleanTier tier, QWidget *parent = nullptr);
    void setTier(SuperCleanTier tier);
    SuperCleanTier tier() const { return m_tier; }

    static QString text(SuperCleanTier tier);
    static const char *symbol(SuperCleanTier tier);
    static QColor color(SuperCleanTier tier, const QPalette &palette);
    // The caption font of every badge.
    static QFont badgeFont(const QFont &base);
    // Draws the badge at the left of `rect`, centred vertically.
    static void paint(QPainter &painter, const QRect &rect, SuperCleanTier tier, const QPalette &palette,
                      const QFont &base);

protected:
    void changeEvent(QEvent *event) override;

private:
    void refresh();

    SuperCleanTier m_tier;
    QLabel *m_icon;
    QLabel *m_text;
};

}  // namespace tarnwick
