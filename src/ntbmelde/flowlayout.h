// SPDX-License-Identifier: GPL-3.0-or-later
// A row of widgets, left to right, that goes on in a new row where the next widget no longer
// fits: the main window's buttons on a narrow screen.
#pragma once

#include <QLayout>
#include <QList>

class TFlowLayout : public QLayout {
public:
    explicit TFlowLayout(QWidget* parent = nullptr);
    ~TFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    // Everything in one row.
    QSize sizeHint() const override;
    // As narrow as the widest widget, and as high as the rows need at the present width:
    // a window then never gets too low to show every row.
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    int gap() const;
    // The rows' height at `width`, placing the widgets when `place` is set.
    int arrange(int left, int top, int width, bool place) const;

    QList<QLayoutItem*> items;
    int placedHeight = -1;
};
