#include "ui/DisplayText.h"
#include "ui/StatusBar.h"

#include "app/AppState.h"
#include "core/ByteCountFormatter.h"
#include "ui/DeferredRefresh.h"
#include "ui/ElidedLabel.h"
#include "ui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tarnwick {

StatusBar::StatusBar(AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_refresh(new DeferredRefresh(this, [this] { refresh(); })),
      m_message(new ElidedLabel(Qt::ElideRight, this)), m_failure(new ElidedLabel(Qt::ElideRight, this)),
      m_selection(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 6, 20, 6);
    layout->setSpacing(12);
    const QFont caption = ui::font(ui::TextStyle::caption, font());
    for (QWidget *label :
         {static_cast<QWidget *>(m_message), static_cast<QWidget *>(m_failure), static_cast<QWidget *>(m_selection)}) {
        label->setFont(caption);
    }
    ui::setTextColor(m_failure, ui::redColor(palette()));
    layout->addWidget(m_message, 2);
    layout->addWidget(m_failure, 3);
    layout->addWidget(m_selection, 0);

    m_refresh->watch(&state, &AppState::statusMessageChanged, &AppState::failuresChanged,
                     &AppState::selectedCandidateIDsChanged, &AppState::candidatesChanged);
    refresh();
}

QString StatusBar::messageText() const
{
    return m_message->fullText();
}

QString StatusBar::failureText() const
{
    return m_failure->isHidden() ? QString() : m_failure->fullText();
}

QString StatusBar::selectionText() const
{
    return m_selection->text();
}

void StatusBar::refreshNow()
{
    m_refresh->now();
}

void StatusBar::refresh()
{
    m_message->setFullText(QString::fromStdString(m_state.statusMessage()));
    const auto &failures = m_state.failures();
    m_failure->setVisible(!failures.empty());
    if (!failures.empty()) {
        m_failure->setFullText(QString::number(failures.size()) + QStringLiteral(" failed: ") +
                               QString::fromStdString(failures.front().message));
    } else {
        m_failure->setFullText({});
    }
    const auto selected = m_state.selectionTotals();
    m_selection->setText(selected.count > 0 ? QString::number(selected.count) + QStringLiteral(" selected - ") +
                                                  ui::sizeText(selected.bytes)
                                            : QString());
}

}  // namespace tarnwick
