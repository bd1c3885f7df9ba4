#pragma once

#include <QObject>

namespace tarnwick {

// Drives the guided cleanup. The application state creates exactly one and keeps it for its life;
// the guided flow itself lives here as it is built.
class SuperCleanCoordinator : public QObject {
    Q_OBJECT
public:
    explicit SuperCleanCoordinator(QObject *parent = nullptr) : QObject(parent) {}
};

}  // namespace tarnwick
