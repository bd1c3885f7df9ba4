#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace tarnwick {

// The clickable title of a group that folds away: a chevron, a symbol and the title. It only shows
// the expansion; whoever owns the flag sets it.
class DisclosureHeader : public QWidget {
    Q_OBJECT
public:
    DisclosureHeader(const char *symbol, const QString &title, QWidget *parent = nullptr);

    void setExpanded(bool expanded);
    bool isExpanded() const { return m_expanded; }

signals:
    // The user asks for the other state.
    void toggleRequested();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_expanded = false;
    QToolButton *m_chevron;
};

}  // namespace tarnwick
