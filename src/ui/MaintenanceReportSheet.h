#pragma once

#include "app/AppRecords.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace tarnwick {

class AppState;

// The output of one developer tool, unchanged, with the command that produced it, and the
// follow-up the report offers (run the cleanup it previewed) when it has one.
class MaintenanceReportSheet : public QDialog {
    Q_OBJECT
public:
    // The result code of the follow-up button; Close rejects.
    enum Result { followUpResult = 2 };

    MaintenanceReportSheet(const MaintenanceReport &report, const AppState &state, QWidget *parent = nullptr);

    const std::string &reportID() const { return m_reportID; }
    QPushButton *closeButton() const { return m_close; }
    // Null when the report offers no follow-up.
    QPushButton *followUpButton() const { return m_followUp; }
    QString outputText() const;

private:
    std::string m_reportID;
    QPlainTextEdit *m_output;
    QPushButton *m_close;
    QPushButton *m_followUp = nullptr;
};

}  // namespace tarnwick
