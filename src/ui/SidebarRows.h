#pragma once

#include "app/CleanupHistoryEntry.h"

#include <QWidget>

#include <string>

class QLabel;
class QToolButton;

namespace tarnwick {

class DesktopShell;
class ElidedLabel;

// A folder in the sidebar: its symbol, its path on one line (`shownPath`, the home folder written
// as ~), and a borderless button at the end. Its context menu shows the folder in the file manager
// or copies its path; both, like the hover help, use the whole path.
class PathRow : public QWidget {
    Q_OBJECT
public:
    PathRow(const std::string &path, const std::string &shownPath, const char *symbol, const char *buttonSymbol,
            const QString &buttonHelp, DesktopShell &shell, QWidget *parent = nullptr);

    const std::string &path() const { return m_path; }
    QToolButton *button() const { return m_button; }
    QString shownText() const;

signals:
    void buttonClicked(const std::string &path);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    std::string m_path;
    DesktopShell &m_shell;
    ElidedLabel *m_label;
    QToolButton *m_button;
};

// A scan root, with the button that removes it from the scan list.
class RootRow : public PathRow {
    Q_OBJECT
public:
    RootRow(const std::string &path, const std::string &shownPath, DesktopShell &shell, QWidget *parent = nullptr);
};

// A folder on the Always Keep list, with the button that takes it off.
class ExclusionRow : public PathRow {
    Q_OBJECT
public:
    ExclusionRow(const std::string &path, const std::string &shownPath, DesktopShell &shell,
                 QWidget *parent = nullptr);
};

// One recorded cleanup run: what was cleaned, how much, and when. Both lines end in an ellipsis
// when the sidebar is too narrow; the date is told again as time passes.
class HistoryRow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryRow(const CleanupHistoryEntry &entry, QWidget *parent = nullptr);

    QString title() const;
    QString subtitle() const;
    ElidedLabel *titleLabel() const { return m_title; }
    ElidedLabel *subtitleLabel() const { return m_subtitle; }

private:
    void showDate();

    Timestamp m_date;
    QString m_size;
    ElidedLabel *m_title;
    ElidedLabel *m_subtitle;
};

}  // namespace tarnwick
