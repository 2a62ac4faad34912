#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

// The numeric keypad: twelve keys drawn in one picture. It keeps no number of its own:
// every key edits the text of TargetControl, so the digits appear in the caller's own
// display while they are typed. The caller places it before showing it.
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

    // Not owned; set by the caller before showing the keypad.
    Label* TargetControl = nullptr;

    void sbtn1Click(QObject* sender);
    void sbtnCancelClick(QObject* sender);
    void sbtnOKClick(QObject* sender);

protected:
    void FormClose(CloseAction& action) override;
};
