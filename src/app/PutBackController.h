#pragma once

#include <QObject>

#include <string>

namespace tarnwick {

// Putting the last cleanup back from the Trash, for the window: whether anything of it is still
// there to put back, and the outcome of doing so. Both kinds of cleanup log their Trash moves, so
// this covers the classic cleanup and Super Clean alike. Put back is a handful of renames on one
// volume, so it runs where it is called, on the main thread.
class PutBackController : public QObject {
    Q_OBJECT
public:
    explicit PutBackController(QObject *parent = nullptr);

    // Whether some folder of the last cleanup still lies in the Trash as it was moved there.
    bool canPutBackLastCleanup() const { return m_canPutBackLastCleanup; }
    // What the last put back did; empty until one ran since the last cleanup.
    const std::string &outcomeText() const { return m_outcomeText; }

    // Reads the journal again: the Trash may have been emptied or restored from elsewhere.
    void refresh();
    // A cleanup has just been logged: forgets the previous put back's outcome.
    void cleanupFinished();
    void putBackLastCleanup();

signals:
    void canPutBackLastCleanupChanged();
    void outcomeTextChanged();

private:
    void setCanPutBackLastCleanup(bool can);
    void setOutcomeText(std::string text);

    bool m_canPutBackLastCleanup = false;
    std::string m_outcomeText;
};

}  // namespace tarnwick
