#pragma once

#include "app/AppRecords.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tarnwick {

// Why adding a standard folder did nothing: none of its locations exist here, or all are listed
// already. Drawn like the other sheets: the symbol, the title and the wrapped message, then
// "Cancel" and "Choose Folder" when the chooser can help, else "OK".
class StandardFolderSheet : public QDialog {
    Q_OBJECT
public:
    // The result when "Choose Folder" closed the sheet.
    static constexpr int chooseFolderResult = 2;

    explicit StandardFolderSheet(const StandardFolderNotice &notice, QWidget *parent = nullptr);

    const std::string &noticeID() const { return m_noticeID; }
    QLabel *titleLabel() const { return m_title; }
    QLabel *messageLabel() const { return m_message; }
    // Null when the notice does not offer the chooser.
    QPushButton *chooseFolderButton() const { return m_choose; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *okButton() const { return m_ok; }

private:
    std::string m_noticeID;
    QLabel *m_title;
    QLabel *m_message;
    QPushButton *m_choose = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_ok = nullptr;
};

}  // namespace tarnwick
