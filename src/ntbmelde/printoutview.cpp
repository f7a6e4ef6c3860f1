// SPDX-License-Identifier: GPL-3.0-or-later
#include "printoutview.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "ansi.h"

namespace {
// Room between the frame and the text, as a text field keeps it.
constexpr int TextMargin = 4;
} // namespace

TPrintoutView::TPrintoutView(const std::vector<std::string>& lines, QWidget* parent)
    : QAbstractScrollArea(parent), lines(lines) {
    for (const std::string& line : lines)
        longestLine = std::max(longestLine, static_cast<qsizetype>(line.size()));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    updateScrollRanges();
}

QString TPrintoutView::lineText(qsizetype line) const {
    return fromAnsi(lines[static_cast<std::size_t>(line)]);
}

QString TPrintoutView::textBetween(Place from, Place to) const {
    QStringList text;
    for (qsizetype line = from.line; line <= to.line && line < lineCount(); ++line) {
        const QString whole = lineText(line);
        const qsizetype start = line == from.line ? from.column : 0;
        const qsizetype end = line == to.line ? to.column : whole.size();
        text.append(whole.mid(start, end - start));
    }
    return text.join(u'\n');
}

TPrintoutView::Place TPrintoutView::endOfText() const {
    return lines.empty() ? Place{}
                         : Place{lineCount() - 1, static_cast<qsizetype>(lines.back().size())};
}

QString TPrintoutView::toPlainText() const {
    return textBetween({}, endOfText());
}

QString TPrintoutView::selectedText() const {
    return textBetween(std::min(anchor, caret), std::max(anchor, caret));
}

// One step of the vertical bar is one line; the horizontal bar counts pixels.
void TPrintoutView::updateScrollRanges() {
    const QFontMetrics metrics = fontMetrics();
    const int visibleLines =
        std::max(1, (viewport()->height() - 2 * TextMargin) / metrics.lineSpacing());
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(lineCount()) - visibleLines));
    verticalScrollBar()->setPageStep(visibleLines);
    const int textWidth =
        static_cast<int>(longestLine) * metrics.horizontalAdvance(u'M') + 2 * TextMargin;
    horizontalScrollBar()->setRange(0, std::max(0, textWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(metrics.horizontalAdvance(u'M'));
}

void TPrintoutView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void TPrintoutView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateScrollRanges();
}

void TPrintoutView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int charWidth = metrics.horizontalAdvance(u'M');
    const int left = TextMargin - horizontalScrollBar()->value();
    const Place from = std::min(anchor, caret);
    const Place to = std::max(anchor, caret);
    qsizetype line = verticalScrollBar()->value();
    for (int top = TextMargin; top < viewport()->height() && line < lineCount();
         top += metrics.lineSpacing(), ++line) {
        const QString text = lineText(line);
        if (hasSelection() && line >= from.line && line <= to.line) {
            const qsizetype start = line == from.line ? from.column : 0;
            // A marked line break shows as one marked character behind the line.
            const qsizetype end = line == to.line ? to.column : text.size() + 1;
            painter.fillRect(static_cast<int>(left + start * charWidth), top,
                             static_cast<int>((end - start) * charWidth), metrics.lineSpacing(),
                             palette().highlight());
        }
        painter.drawText(left, top + metrics.ascent(), text);
    }
}

TPrintoutView::Place TPrintoutView::placeAt(const QPoint& position) const {
    const QFontMetrics metrics = fontMetrics();
    if (lines.empty())
        return {};
    const int intoText = std::max(0, position.y() - TextMargin);
    const qsizetype line = std::clamp<qsizetype>(
        verticalScrollBar()->value() + intoText / metrics.lineSpacing(), 0, lineCount() - 1);
    const int charWidth = metrics.horizontalAdvance(u'M');
    const qsizetype column =
        (position.x() - TextMargin + horizontalScrollBar()->value() + charWidth / 2) / charWidth;
    const auto length = static_cast<qsizetype>(lines[static_cast<std::size_t>(line)].size());
    return {line, std::clamp<qsizetype>(column, 0, length)};
}

void TPrintoutView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    caret = placeAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        anchor = caret;
    viewport()->update();
}

void TPrintoutView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return QAbstractScrollArea::mouseMoveEvent(event);
    caret = placeAt(event->position().toPoint());
    viewport()->update();
}

// Arrows and page keys scroll (the scroll area's own keys); Home and End go to the line's start
// and end; Ctrl+A marks everything and Ctrl+C copies what is marked.
void TPrintoutView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::SelectAll) {
        anchor = {};
        caret = endOfText();
        viewport()->update();
    } else if (event == QKeySequence::Copy) {
        if (hasSelection())
            QApplication::clipboard()->setText(selectedText());
    } else if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier) {
        horizontalScrollBar()->setValue(0);
    } else if (event->key() == Qt::Key_End && event->modifiers() == Qt::NoModifier) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}
