#include "ui/MetricPill.h"

#include "ui/UiStyle.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick {

MetricPill::MetricPill(const QString &title, const QString &value, QWidget *parent)
    : QFrame(parent), m_title(new QLabel(title, this)), m_value(new QLabel(value, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(2);
    ui::style(m_title, ui::TextStyle::caption, true);
    ui::style(m_value, ui::TextStyle::headline);
    layout->addWidget(m_title);
    layout->addWidget(m_value);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QString MetricPill::title() const
{
    return m_title->text();
}

QString MetricPill::value() const
{
    return m_value->text();
}

void MetricPill::paintEvent(QPaintEvent *)
{
    ui::paintCard(this, 8);
}

}  // namespace tarnwick
