#pragma once

#include "exam/ExamFormat.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

// The result screen of a paper of a format (subject one unless told): right, wrong and
// score, the pass picture at the pass mark or more, and the choice of review, redo or
// exit.
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

    // Before the screen is shown: the paper's format, whose background and marking it takes.
    void setFormat(const ExamFormat& format);
    const ExamFormat& format() const { return *m_format; }

protected:
    void FormShow() override;
    void FormClose(CloseAction& action) override;

private:
    void showMarkedPaper();
    const ExamFormat* m_format = &subjectOne();
};
