#include "app/PutBackController.h"

#include "core/CountPhrase.h"
#include "engine/PutBack.h"

#include <algorithm>

namespace tarnwick {

PutBackController::PutBackController(QObject *parent) : QObject(parent)
{
    refresh();
}

void PutBackController::refresh()
{
    const auto moves = PutBack::lastCleaning();
    setCanPutBackLastCleanup(std::any_of(moves.begin(), moves.end(), PutBack::isInTrash));
}

void PutBackController::cleanupFinished()
{
    setOutcomeText({});
    refresh();
}

void PutBackController::putBackLastCleanup()
{
    std::vector<TrashTransactionRecord> moves = PutBack::lastCleaning();
    // Folders already put back or emptied from the Trash are not this request's failures.
    std::erase_if(moves, [](const TrashTransactionRecord &move) { return !PutBack::isInTrash(move); });
    if (moves.empty()) {
        setOutcomeText("Nothing from the last cleanup is in the Trash any more.");
        refresh();
        return;
    }
    const auto outcomes = PutBack::putBack(moves);
    const auto restored = std::count_if(outcomes.begin(), outcomes.end(), [](const auto &o) { return o.restored; });
    const auto refused = static_cast<int64_t>(outcomes.size()) - restored;
    std::string text = "Put back " + countPhrase(restored);
    if (refused > 0) {
        const auto first = std::find_if(outcomes.begin(), outcomes.end(), [](const auto &o) { return !o.restored; });
        text += "; " + countPhrase(refused) + " stayed" + " in the Trash (" +
                first->originalPath + ": " + first->reason + ")";
    }
    setOutcomeText(text + ".");
    refresh();
}

void PutBackController::setCanPutBackLastCleanup(bool can)
{
    if (m_canPutBackLastCleanup != can) {
        m_canPutBackLastCleanup = can;
        emit canPutBackLastCleanupChanged();
    }
}

void PutBackController::setOutcomeText(std::string text)
{
    m_outcomeText = std::move(text);
    emit outcomeTextChanged();
}

}  // namespace tarnwick
