#pragma once

#include "exampaper/ExamFormat.h"
#include "exampaper/StudyLog.h"
#include "sharedscreens/ScreenParts.h"
#include "toolkit/Controls.h"
#include "toolkit/DataControls.h"
#include "toolkit/Form.h"

#include <array>
#include <cstdint>
#include <vector>

class ExplainNote;
class PickRing;
class PictureZoom;
class StarToggle;

// Sequential practice: the whole bank of a subject in the order of its numbers, one
// question at a time, marked at once, with the right rate of the first tries. Subject
// four's multiple answers are toggled on the letter keys and marked when confirmed; its
// clips play in the picture's place.
class TFrm_ShunXuLianXi : public Form
{
    Q_OBJECT
public:
    explicit TFrm_ShunXuLianXi(QWidget* owner = nullptr);

    Picture* Image1;
    FlatButton* sbtnReturn;
    FlatButton* sbtnXia;
    FlatButton* sbtnShang;
    FlatButton* sbtnB;
    Picture* imgResult;
    FlatButton* sbtnLuRu;
    Label* lblTiHao;
    Picture* imgvx;
    FlatButton* sbtnA;
    FlatButton* sbtnC;
    Label* lbllv;
    FlatButton* sbtnD;
    Label* lblAddress;
    Panel* Panel1;
    DBText* DBText1;
    DBMemo* DBMemo1;
    DBImage* DBImage1;
    ::DataSource* DataSource;
    // After an answer: the right answer when it was wrong, the explanation and source.
    ExplainNote* lblJieXi;

    // Set before showing: the questions of the wrong-question book instead of the bank;
    // one answered right at its first try leaves the book.
    bool WrongBook = false;
    // The title of wrong-question practice over the title band, shown in that mode.
    Picture* imgCuoTi;

    // Subject four's: its title over the title band, the letter keys held down while
    // toggled, the confirm key of a multiple answer, a line of hints, the clip.
    Picture* imgSafeTitle;
    std::array<Picture*, 4> imgDown;
    FlatButton* sbtnConfirm;
    Label* lblHint;
    ClipView* imgClip;

    // Set before showing, for the ways of study: the way recorded with each answer, the
    // questions in their order (the bank, or the book, when empty), the name of the place
    // kept for the next time (none when empty) and the question to begin at (its ID).
    StudyLog::Mode StudyMode = StudyLog::Mode::Sequential;
    std::vector<int> Order;
    QString Place;
    int StartAt = 0;
    // The title laid over the title band for the way of study; none when empty.
    QString TitleArt;
    // "N / total": where the question shown stands among those practised.
    Label* lblJinDu;
    // The star of the question shown: a click stars it or takes its star off.
    StarToggle* imgShouCang;
    // The ring around the answer key last pressed.
    PickRing* imgPicked;
    // The question's picture at twice its size, over the screen; a click closes it.
    PictureZoom* imgZoom;

    // Before showing: the subject practised, subject one unless told.
    void setFormat(const ExamFormat& format) { m_format = &format; }
    const ExamFormat& format() const { return *m_format; }

    void DataSourceDataChange(QObject* sender, Field* field);
    void ADOQryTopicIDGetText(Field& sender, QString& text, bool displayText);
    void sbtnAClick(QObject* sender);
    void sbtnConfirmClick(QObject* sender);
    void sbtnShangClick(QObject* sender);
    void sbtnXiaClick(QObject* sender);
    void sbtnLuRuClick(QObject* sender);
    void sbtnReturnClick(QObject* sender);

protected:
    void FormCreate();
    void FormShow() override;
    void FormClose(CloseAction& action) override;

private:
    // A question is shown: the bank is loaded and not empty.
    bool hasQuestion() const;
    AnswerKind kindShown() const;
    void markAnswer(const QString& chosen);
    void showExplanation(const QString& expected, bool right);
    void placeExplanation();
    void showToggles();
    void showClip();

    int currentId() const;
    void moveInOrder(int step);
    void keepPlace();
    // Under the buttons, until the next question is shown: the number typed that no
    // question of this practice has, and the count the learner can choose from.
    void reportNoSuchNumber(const QString& number);
    void showProgress();
    void recordAnswer(const QString& chosen, bool right);
    void reportOnce(const QString& what, const QString& error);

    const ExamFormat* m_format = &subjectOne();
    LetterToggles m_toggles;
    bool m_bookFailureShown = false;
    // No answer yet since the question was shown: the next one moves the book.
    bool m_fresh = true;
    int m_position = -1; // in Order
};

// The practice of the one practice screen, started afresh at each opening: the first
// tries counted, the right ones among them, and whether the next answer is a first try.
extern std::int32_t AnsweredCount;
extern std::int32_t RightCount;
extern bool FirstTry;

// right out of answered in whole percent, a half going to the even neighbour.
int firstTryRate(std::int32_t right, std::int32_t answered);
