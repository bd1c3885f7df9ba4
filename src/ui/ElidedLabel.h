#pragma once

#include <QLabel>

namespace tarnwick {

// One line of text cut with an ellipsis to the width it is given; the whole text stays in the
// hover help. Middle elision is for paths and keeps their last two components whole.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(Qt::TextElideMode mode = Qt::ElideRight, QWidget *parent = nullptr);

    void setFullText(const QString &text);
    const QString &fullText() const { return m_fullText; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void elide();

    Qt::TextElideMode m_mode;
    QString m_fullText;
};

}  // namespace tarnwick
