#pragma once

#include "practice/ReaderForm.h"

// The traffic rules reader: ten categories drawn on the background, each a click area
// whose hint names its page; the page shows in the embedded view below them.
class TFrm_JiaoTongFaGui : public ReaderForm
{
    Q_OBJECT
public:
    explicit TFrm_JiaoTongFaGui(QWidget* owner = nullptr);

    FlatButton* sbtnGuanLiTiaoLi;
    FlatButton* SpeedButton1;
    FlatButton* SpeedButton2;
    FlatButton* SpeedButton3;
    FlatButton* SpeedButton4;
    FlatButton* SpeedButton5;
    FlatButton* SpeedButton6;
    FlatButton* SpeedButton7;
    FlatButton* SpeedButton8;
    FlatButton* SpeedButton9;
    FlatButton* sbtnXinHao; // the signal lamps and police hand signals
    FlatButton* sbtnKeMuSi; // safe and civil driving, the pages of subject four

    void sbtnGuanLiTiaoLiClick(QObject* sender);
};
