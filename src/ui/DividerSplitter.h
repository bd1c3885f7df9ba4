#pragma once

#include <QSplitter>

namespace tarnwick {

// A splitter whose handle reads as the one-pixel divider between two columns rather than a grip;
// Qt keeps a few pixels around such a thin handle to grab it by.
class DividerSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit DividerSplitter(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    QSplitterHandle *createHandle() override;
};

}  // namespace tarnwick
