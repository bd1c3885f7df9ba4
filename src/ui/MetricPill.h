#pragma once

#include "ui/SuperCleanMetric.h"

namespace tarnwick {

// A figure tile with its value given at once: "This Cleanup" over "1.2 GB".
class MetricPill : public SuperCleanMetric {
    Q_OBJECT
public:
    MetricPill(const QString &title, const QString &value, QWidget *parent = nullptr);
};

}  // namespace tarnwick
