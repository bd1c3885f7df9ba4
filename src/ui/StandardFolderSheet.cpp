#include "ui/StandardFolderSheet.h"

#include "ui/DisplayText.h"
#include "ui/SheetSize.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

StandardFolderSheet::StandardFolderSheet(const StandardFolderNotice &notice, QWidget *parent)
    : QDialog(parent), m_noticeID(notice.id), m_title(new QLabel(ui::qstring(notice.title), this)),
      m_message(new QLabel(ui::qstring(notice.message), this))
{
    setWindowTitle(m_title->text());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 18);
    layout->setSpacing(16);

    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    auto *symbol = new QLabel(this);
    symbol->setPixmap(ui::symbolIcon("folder", ui::secondaryTextColor(palette())).pixmap(40, 40));
    top->addWidget(symbol, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(6);
    ui::style(m_title, ui::TextStyle::title3);
    QFont titleFont = m_title->font();
    titleFont.setWeight(QFont::DemiBold);
    m_title->setFont(titleFont);
    m_title->setWordWrap(true);
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    texts->addWidget(m_title);
    texts->addWidget(m_message);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton *primary = nullptr;
    if (notice.showsChooseFolder) {
        m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
        m_choose =
            new QPushButton(ui::symbolIcon("folder.badge.plus", Qt::white), QStringLiteral("Choose Folder"), this);
        buttons->addWidget(m_cancel);
        buttons->addWidget(m_choose);
        connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
        connect(m_choose, &QPushButton::clicked, this, [this] { done(chooseFolderResult); });
        primary = m_choose;
    } else {
        m_ok = new QPushButton(QStringLiteral("OK"), this);
        buttons->addWidget(m_ok);
        connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
        primary = m_ok;
    }
    ui::setProminent(primary, ui::accentColor(QApplication::palette()));
    primary->setDefault(true);
    layout->addLayout(buttons);
    ui::fixSheetSize(*this, 440);
}

}  // namespace tarnwick
