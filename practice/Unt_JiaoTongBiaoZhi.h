#pragma once

#include "practice/ReaderForm.h"

// The traffic signs reader: six categories drawn on the background, each a click area
// whose hint names its page; the page shows in the embedded view below them.
class TFrm_JiaoTongBiaoZhi : public ReaderForm
{
    Q_OBJECT
public:
    explicit TFrm_JiaoTongBiaoZhi(QWidget* owner = nullptr);

    FlatButton* sbtnJinGaoBiaoZhi;
    FlatButton* SpeedButton1;
    FlatButton* SpeedButton2;
    FlatButton* SpeedButton3;
    FlatButton* SpeedButton4;
    FlatButton* SpeedButton5;

    void sbtnJinGaoBiaoZhiClick(QObject* sender);
};
