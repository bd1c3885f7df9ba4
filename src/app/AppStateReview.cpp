// The review list: what is shown, in which order, what is selected and kept.

#include "app/AppState.h"

namespace tarnwick {

void AppState::invalidateDisplayedCandidates()
{
    m_displayedValid = false;
}

}  // namespace tarnwick
