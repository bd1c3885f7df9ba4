#include "ui/OnboardingSheet.h"

#include "ui/SheetSize.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

// One numbered step on a rounded card: the number in a filled accent circle, the title above the
// text.
class OnboardingStep : public QWidget {
public:
    OnboardingStep(int number, const QString &title, const QString &text, QWidget *parent) : QWidget(parent)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(12, 10, 12, 10);
        layout->setSpacing(12);
        auto *badge = new QLabel(QString::number(number), this);
        QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        digits.setPointSizeF(ui::font(ui::TextStyle::headline, font()).pointSizeF());
        digits.setWeight(QFont::Bold);
        badge->setFont(digits);
        badge->setAlignment(Qt::AlignCenter);
        badge->setFixedSize(28, 28);
        badge->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: white; border-radius: 14px; }")
                                 .arg(ui::accentColor(palette()).name()));
        auto *texts = new QVBoxLayout;
        texts->setSpacing(2);
        auto *titleLabel = new QLabel(title, this);
        ui::style(titleLabel, ui::TextStyle::headline);
        auto *textLabel = new QLabel(text, this);
        textLabel->setWordWrap(true);
        texts->addWidget(titleLabel);
        texts->addWidget(textLabel);
        layout->addWidget(badge, 0, Qt::AlignTop);
        layout->addLayout(texts, 1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ui::controlBackgroundColor(palette()));
        painter.drawRoundedRect(QRectF(rect()), 8, 8);
    }
};

}  // namespace

OnboardingSheet::OnboardingSheet(QWidget *parent)
    : QDialog(parent), m_done(new QPushButton(QStringLiteral("Done"), this)),
      m_chooseFolder(
          new QPushButton(ui::symbolIcon("folder.badge.plus", Qt::white), QStringLiteral("Choose Folder"), this))
{
    setWindowTitle(QStringLiteral("Getting Started"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    layout->setSpacing(12);
    auto *title = new QLabel(QStringLiteral("Clean project folders safely"), this);
    ui::style(title, ui::TextStyle::title);
    auto *subtitle = new QLabel(
        QStringLiteral("Tarnwick scans only folders you choose and moves selected items to Trash by default."), this);
    ui::style(subtitle, ui::TextStyle::body, true);
    subtitle->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(4);
    layout->addWidget(new OnboardingStep(1, QStringLiteral("Choose folders"),
                                         QStringLiteral("Pick your projects, Xcode folder, or package caches. Tarnwick "
                                                        "does not scan your whole computer automatically."),
                                         this));
    layout->addWidget(new OnboardingStep(2, QStringLiteral("Review every result"),
                                         QStringLiteral("Each folder shows its size, type, modified date, path, and "
                                                        "why it is usually safe to clean."),
                                         this));
    layout->addWidget(new OnboardingStep(3, QStringLiteral("Move to Trash"),
                                         QStringLiteral("Trash is the default cleanup method. Permanent delete stays "
                                                        "in Advanced settings."),
                                         this));
    layout->addSpacing(6);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_done);
    buttons->addWidget(m_chooseFolder);
    layout->addLayout(buttons);

    ui::setProminent(m_chooseFolder, ui::accentColor(QApplication::palette()));
    m_chooseFolder->setDefault(true);
    m_chooseFolder->setAutoDefault(true);
    m_done->setAutoDefault(false);
    connect(m_done, &QPushButton::clicked, this, [this] { done(doneResult); });
    connect(m_chooseFolder, &QPushButton::clicked, this, [this] { done(chooseFolderResult); });
    ui::fixSheetSize(*this, 540);
}

}  // namespace tarnwick
