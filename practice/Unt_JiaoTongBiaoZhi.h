#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/HtmlView.h"

// The traffic signs reader: six categories drawn on the background, each a click area
// whose hint names its page; the page shows in the embedded view below them.
class TFrm_JiaoTongBiaoZhi : public Form
{
    Q_OBJECT
public:
    explicit TFrm_JiaoTongBiaoZhi(QWidget* owner = nullptr);

    Picture* Image1;
    FlatButton* sbtnJinGaoBiaoZhi;
    FlatButton* SpeedButton1;
    FlatButton* SpeedButton2;
    FlatButton* SpeedButton3;
    FlatButton* SpeedButton4;
    FlatButton* SpeedButton5;
    FlatButton* sbtnPageUp;
    FlatButton* sbtnPageDown;
    FlatButton* sbtnExit;
    Panel* Panel1;
    HtmlView* WebBrowser;

    void sbtnJinGaoBiaoZhiClick(QObject* sender);
    void sbtnPageUpClick(QObject* sender);
    void sbtnPageDownClick(QObject* sender);
    void sbtnExitClick(QObject* sender);

protected:
    void FormClose(CloseAction& action) override;
};
