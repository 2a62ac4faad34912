#pragma once

#include <QFont>
#include <QString>

class QTextLayout;

class Label;

// The font narrowed so that text fits in room pixels. The Chinese faces stand in for
// the Windows ones and some run wider: where a caption would be cut off, its letters
// are narrowed rather than lost. Text that fits keeps the font as it is.
QFont fittedFont(const QFont& font, const QString& text, int room);

// Narrows a fixed-size label's font to fit its caption in its width.
void fitCaption(Label* label);

// Lays a paragraph out in lines of width less both margins, the first at y, and returns
// the y below its last line. Chinese text has no blanks to break at: a word that does not
// fit wraps anywhere. leading is the room added below each line.
qreal wrapParagraph(QTextLayout& layout, qreal width, qreal margin, qreal y, qreal leading = 0);
