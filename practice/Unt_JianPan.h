#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

// The numeric keypad: twelve keys drawn in one picture. It keeps no number of its own:
// every key edits the text of TargetControl, so the digits appear in the caller's own
// display while they are typed. The caller places it before showing it. Given the number
// of questions, it shows their range under the keys, and OK refuses a number outside it
// with a message and clears the display, so the caller keeps its question.
class TFrm_JianPan : public Form
{
    Q_OBJECT
public:
    explicit TFrm_JianPan(QWidget* owner = nullptr);

    Picture* Image1;
    FlatButton* sbtnOK;
    FlatButton* sbtn1;
    FlatButton* sbtn2;
    FlatButton* sbtn3;
    FlatButton* sbtn4;
    FlatButton* sbtn5;
    FlatButton* sbtn6;
    FlatButton* sbtn7;
    FlatButton* sbtn8;
    FlatButton* sbtn9;
    FlatButton* sbtn0;
    FlatButton* sbtnCancel;
    Label* lblFanWei; // the range of the numbers, "请输入题号:(1-1600)"

    // Not owned; set by the caller before showing the keypad.
    Label* TargetControl = nullptr;
    // The highest number OK accepts, from 1; none when 0 (any digits are taken).
    void setQuestions(int questions);
    int questions() const { return m_questions; }

    void sbtn1Click(QObject* sender);
    void sbtnCancelClick(QObject* sender);
    void sbtnOKClick(QObject* sender);

protected:
    void FormClose(CloseAction& action) override;

private:
    int m_questions = 0;
};
