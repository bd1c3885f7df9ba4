#pragma once

#include "app/AppRecords.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tarnwick {

class MetricPill;

// What a cleanup run did: how many folders and how much space, the lifetime total, and whether
// anything failed or the run was cancelled.
class CleanupSummarySheet : public QDialog {
    Q_OBJECT
public:
    explicit CleanupSummarySheet(const CleanupSummary &summary, QWidget *parent = nullptr);

    const std::string &summaryID() const { return m_summaryID; }
    QString titleText() const;
    QString messageText() const;
    QString failureText() const;
    QList<MetricPill *> pills() const;
    QPushButton *doneButton() const { return m_done; }

    static QString title(const CleanupSummary &summary);
    static QString message(const CleanupSummary &summary);
    static const char *symbol(const CleanupSummary &summary);

private:
    std::string m_summaryID;
    QLabel *m_title;
    QLabel *m_message;
    QLabel *m_failure;
    QPushButton *m_done;
};

}  // namespace tarnwick
