#pragma once

#include <QLayout>
#include <QWidget>

namespace tarnwick::ui {

// Gives a sheet its width and exactly the height its content needs at that width. Without the
// second step the wrapped texts would size the sheet for a narrower layout and the surplus height
// would open gaps between the lines.
inline void fixSheetSize(QWidget &sheet, int width)
{
    sheet.setFixedWidth(width);
    if (QLayout *layout = sheet.layout()) {
        layout->activate();
        sheet.setFixedHeight(layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                         : layout->totalSizeHint().height());
    }
}

}  // namespace tarnwick::ui
