#pragma once

#include <QPointer>
#include <QToolButton>

class QFrame;

namespace tarnwick {

// A small borderless "i" whose hover help is the message; pressing it shows the title above the
// message in a popover, and pressing again hides it.
class InfoButton : public QToolButton {
    Q_OBJECT
public:
    InfoButton(const QString &title, const QString &message, QWidget *parent = nullptr);

    bool isPopoverShown() const;

private:
    void togglePopover();

    QString m_title;
    QString m_message;
    QPointer<QFrame> m_popover;
};

}  // namespace tarnwick
