#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

// The result screen: right, wrong and score, the pass picture at the pass mark or more,
// and the choice of review, redo or exit.
class TFrm_MoLiKaoShiPingFen : public Form
{
    Q_OBJECT
public:
    explicit TFrm_MoLiKaoShiPingFen(QWidget* owner = nullptr);

    Picture* Image1;
    FlatButton* sbtnJiaoDui;
    FlatButton* sbtnChongLianXi;
    FlatButton* sbtnTuiChu;
    Label* lblNum;
    Label* lblRight;
    Label* lblError;
    Label* lblGrade;
    Label* lblPingYu;
    Picture* imgPingYu;

    // The Tag of the button that closed the screen: 20 review, 10 redo, 30 exit.
    int SelectedTag = 0;

    void sbtnChongLianXiClick(QObject* sender);

protected:
    void FormShow() override;
    void FormClose(CloseAction& action) override;
};
