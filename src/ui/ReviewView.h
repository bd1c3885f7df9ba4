#pragma once

#include <QWidget>

namespace tarnwick {

class AppState;
class DesktopShell;

// The right column: the found folders, their inspector and the progress of the running operation.
class ReviewView : public QWidget {
    Q_OBJECT
public:
    ReviewView(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

private:
    AppState &m_state;
    DesktopShell &m_shell;
};

}  // namespace tarnwick
