#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

// The right answer and the explanation of a question with its source, wrapped to the
// note's width. It takes no clicks: whatever lies beneath keeps them.
class ExplainNote : public QWidget
{
    Q_OBJECT
public:
    explicit ExplainNote(QWidget* parent);

    // answerLine may be empty (a right answer needs none).
    void setNote(const QString& answerLine, const QString& explain, const QString& source);
    void clearNote();
    bool isEmpty() const { return m_answer.isEmpty() && m_explain.isEmpty() && m_source.isEmpty(); }
    // The note as plain text, one paragraph a line.
    QString text() const;

    void setTextFont(const QString& face, int pixelSize, bool bold);
    // A rounded frame in these colours around the text; without one it lies on the
    // colour of what is beneath.
    void setFrame(const QColor& fill, const QColor& border);
    // The source runs on in the explanation's paragraph: fewer lines where height is short.
    void setRunIn(bool runIn);
    // The largest of these pixel sizes (largest first) at which the whole note fits.
    void fitFont(const QString& face, const std::vector<int>& sizes, bool bold);
    // The height its paragraphs take at a width, frame included.
    int textHeight(int width) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Paragraph
    {
        QString text;
        QColor color;
        int tailFrom = -1; // where the source's colour begins, in a run-in paragraph
        QColor tailColor;
    };
    std::vector<Paragraph> paragraphs() const;
    int margin() const;
    // Lays the paragraphs out from the top at the width; draws them when p is given.
    int layOut(int width, class QPainter* p) const;

    QString m_answer;
    QString m_explain;
    QString m_source;
    QColor m_fill;
    QColor m_border;
    bool m_runIn = false;
};

// The note of an exam screen's review, over its title band: the one place free of
// controls, and the title is not needed there.
ExplainNote* titleBandNote(QWidget* screen);
