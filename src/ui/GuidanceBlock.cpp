#include "ui/GuidanceBlock.h"

#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick {

GuidanceBlock::GuidanceBlock(QWidget *parent)
    : QWidget(parent), m_symbol(new QLabel(this)), m_title(new QLabel(this)), m_text(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    m_symbol->setFixedWidth(18);
    m_symbol->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    layout->addWidget(m_symbol, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    ui::style(m_title, ui::TextStyle::caption, true);
    ui::style(m_text, ui::TextStyle::caption);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addWidget(m_title);
    texts->addWidget(m_text);
    layout->addLayout(texts, 1);
}

void GuidanceBlock::set(const QString &title, const QString &text, const std::string &symbol)
{
    m_title->setText(title.toUpper());
    m_text->setText(text);
    const int side = m_title->fontMetrics().height();
    m_symbol->setPixmap(ui::symbolIcon(symbol, ui::secondaryTextColor(palette())).pixmap(side, side));
}

QString GuidanceBlock::title() const
{
    return m_title->text();
}

QString GuidanceBlock::text() const
{
    return m_text->text();
}

}  // namespace tarnwick
