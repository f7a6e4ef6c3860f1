// SPDX-License-Identifier: GPL-3.0-or-later
// The read-only view of a printout's lines. It draws only the lines in sight, straight from the
// Windows-1252 lines the printout window keeps for saving and printing: a host's merged file
// opens at once and costs no second copy of its text.
#pragma once

#include <QAbstractScrollArea>
#include <string>
#include <vector>

class TPrintoutView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // `lines` must outlive the view.
    explicit TPrintoutView(const std::vector<std::string>& lines, QWidget* parent = nullptr);

    // The lines joined by line feeds.
    QString toPlainText() const;
    // The text marked with the mouse or Ctrl+A; empty when nothing is marked.
    QString selectedText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // A place in the text: line and character, both counted from 0.
    struct Place {
        qsizetype line = 0;
        qsizetype column = 0;
        auto operator<=>(const Place&) const = default;
    };
    void updateScrollRanges();
    Place placeAt(const QPoint& viewportPosition) const;
    qsizetype lineCount() const { return static_cast<qsizetype>(lines.size()); }
    QString lineText(qsizetype line) const;
    QString textBetween(Place from, Place to) const;
    Place endOfText() const;
    bool hasSelection() const { return anchor != caret; }

    const std::vector<std::string>& lines;
    qsizetype longestLine = 0; // in characters: one byte is one character
    Place anchor;
    Place caret;
};
