#pragma once

#include <QDialog>

class QPushButton;

namespace tarnwick {

// The first-run guide: what Tarnwick does in three steps, closed with Done or with Choose Folder.
// It only reports which button closed it; the presenter acts on that.
class OnboardingSheet : public QDialog {
    Q_OBJECT
public:
    // The result codes besides Rejected (Escape or the window's close button).
    enum Result { doneResult = QDialog::Accepted, chooseFolderResult = 2 };

    explicit OnboardingSheet(QWidget *parent = nullptr);

    QPushButton *doneButton() const { return m_done; }
    QPushButton *chooseFolderButton() const { return m_chooseFolder; }

private:
    QPushButton *m_done;
    QPushButton *m_chooseFolder;
};

}  // namespace tarnwick
