#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace tarnwick {

class AppState;

// Asks before a cleanup: how many folders and how much, the first six of them, and whether they go
// to the Trash or are deleted for good. Accepting means "clean"; the presenter starts the run.
class DeleteConfirmationSheet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kListedFolders = 6;

    explicit DeleteConfirmationSheet(const AppState &state, QWidget *parent = nullptr);

    QString titleText() const;
    QString messageText() const;
    // The listed paths, then the "N more" line when there is one.
    QStringList listedLines() const { return m_listed; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *actionButton() const { return m_action; }

private:
    QLabel *m_title;
    QLabel *m_message;
    QStringList m_listed;
    QPushButton *m_cancel;
    QPushButton *m_action;
};

}  // namespace tarnwick
