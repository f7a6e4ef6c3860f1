// SPDX-License-Identifier: GPL-3.0-or-later
#include "flowlayout.h"

#include <QWidget>
#include <algorithm>

TFlowLayout::TFlowLayout(QWidget* parent) : QLayout(parent) {}

TFlowLayout::~TFlowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void TFlowLayout::addItem(QLayoutItem* item) {
    items.append(item);
}

int TFlowLayout::count() const {
    return int(items.size());
}

QLayoutItem* TFlowLayout::itemAt(int index) const {
    return items.value(index);
}

QLayoutItem* TFlowLayout::takeAt(int index) {
    return index >= 0 && index < items.size() ? items.takeAt(index) : nullptr;
}

Qt::Orientations TFlowLayout::expandingDirections() const {
    return {};
}

// Without a spacing of its own the widgets stand side by side.
int TFlowLayout::gap() const {
    return std::max(0, spacing());
}

bool TFlowLayout::hasHeightForWidth() const {
    return true;
}

int TFlowLayout::heightForWidth(int width) const {
    const QMargins margins = contentsMargins();
    return arrange(0, 0, width - margins.left() - margins.right(), false) + margins.top() +
           margins.bottom();
}

QSize TFlowLayout::sizeHint() const {
    QSize row;
    for (const QLayoutItem* item : items) {
        const QSize size = item->sizeHint();
        row = QSize(row.width() + (row.width() > 0 ? gap() : 0) + size.width(),
                    std::max(row.height(), size.height()));
    }
    const QMargins margins = contentsMargins();
    return row.grownBy(margins);
}

QSize TFlowLayout::minimumSize() const {
    int widest = 0;
    for (const QLayoutItem* item : items)
        widest = std::max(widest, item->sizeHint().width());
    const QMargins margins = contentsMargins();
    const int width = widest + margins.left() + margins.right();
    const int present = geometry().width();
    return {width, heightForWidth(present > 0 ? std::max(present, width) : sizeHint().width())};
}

void TFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inside = rect.marginsRemoved(contentsMargins());
    const int height = arrange(inside.x(), inside.y(), inside.width(), true);
    // Another number of rows changes the least height: the window makes room for it.
    if (height != placedHeight && parentWidget())
        parentWidget()->updateGeometry();
    placedHeight = height;
}

int TFlowLayout::arrange(int left, int top, int width, bool place) const {
    int x = left;
    int y = top;
    int rowHeight = 0;
    for (QLayoutItem* item : items) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (x > left && x + size.width() > left + width) {
            x = left;
            y += rowHeight + gap();
            rowHeight = 0;
        }
        if (place)
            item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width() + gap();
        rowHeight = std::max(rowHeight, size.height());
    }
    return y + rowHeight - top;
}
