#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/HtmlView.h"

// The traffic rules reader: ten categories drawn on the background, each a click area
// whose hint names its page; the page shows in the embedded view below them.
class TFrm_JiaoTongFaGui : public Form
{
    Q_OBJECT
public:
    explicit TFrm_JiaoTongFaGui(QWidget* owner = nullptr);

    Picture* Image1;
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
    FlatButton* sbtnPageUp;
    FlatButton* sbtnPageDown;
    FlatButton* sbtnExit;
    Panel* Panel1;
    HtmlView* WebBrowser;

    void sbtnGuanLiTiaoLiClick(QObject* sender);
    void sbtnPageUpClick(QObject* sender);
    void sbtnPageDownClick(QObject* sender);
    void sbtnExitClick(QObject* sender);

protected:
    void FormClose(CloseAction& action) override;
};
