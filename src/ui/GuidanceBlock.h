#pragma once

#include <QWidget>
#include <string>

class QLabel;

namespace tarnwick {

// One paragraph of the inspector's guidance: a symbol, a small upper-case title and the text.
class GuidanceBlock : public QWidget {
    Q_OBJECT
public:
    explicit GuidanceBlock(QWidget *parent = nullptr);
    void set(const QString &title, const QString &text, const std::string &symbol);

    QString title() const;
    QString text() const;

private:
    QLabel *m_symbol;
    QLabel *m_title;
    QLabel *m_text;
};

}  // namespace tarnwick
