#pragma once

#include "engine/CleanupRisk.h"

#include <QWidget>

class QLabel;

namespace tarnwick {

// A rule's risk as a small coloured symbol and word: Safe, Review, Advanced.
class RiskBadge : public QWidget {
    Q_OBJECT
public:
    explicit RiskBadge(CleanupRisk risk, QWidget *parent = nullptr);
    void setRisk(CleanupRisk risk);
    CleanupRisk risk() const { return m_risk; }

    static QString text(CleanupRisk risk);
    static const char *symbol(CleanupRisk risk);
    static QColor color(CleanupRisk risk, const QPalette &palette);

protected:
    void changeEvent(QEvent *event) override;

private:
    void refresh();

    CleanupRisk m_risk;
    QLabel *m_icon;
    QLabel *m_text;
};

}  // namespace tarnwick
