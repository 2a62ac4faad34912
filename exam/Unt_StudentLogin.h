#pragma once

#include "sharedscreens/Unt_Father.h"

// The candidate-number pad: twelve round keys drawn on the background are click areas;
// the digits appear in lblNo. The exam screen reuses it to ask for a question number.
class TFrm_StudentLogin : public TFrm_Father
{
    Q_OBJECT
public:
    explicit TFrm_StudentLogin(QWidget* owner = nullptr);

    Label* lblNo;
    Label* Label1;
    Label* Label2;
    Label* Label3;
    Label* Label4;
    Label* Label5;
    Label* Label6;
    Label* Label7;
    Label* Label8;
    Label* Label9;
    Label* Label10;
    Label* lblReset;
    Label* lblOk;
    Picture* imgXT;
    Picture* imgTitle;

    void Label1Click(QObject* sender);
    void lblResetClick(QObject* sender);
    void lblOkClick(QObject* sender);

protected:
    void FormCreate() {}
    void FormShow() override {}
};

extern TFrm_StudentLogin* Frm_StudentLogin;
