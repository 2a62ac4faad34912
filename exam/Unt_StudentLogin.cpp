#include "exam/Unt_StudentLogin.h"

#include "toolkit/ClickArea.h"
#include "toolkit/Resources.h"

TFrm_StudentLogin* Frm_StudentLogin = nullptr;

TFrm_StudentLogin::TFrm_StudentLogin(QWidget* owner)
    : TFrm_Father(owner)
{
    setObjectName(QStringLiteral("Frm_StudentLogin"));
    setCaption(QStringLiteral("Frm_StudentLogin"));
    imgPicture->loadFromResource(artPath(QStringLiteral("StudentLogin.rgb32")));

    lblNo = named(new Label(this), "lblNo");
    lblNo->setGeometry(254, 161, 316, 36);
    lblNo->setTextFont(QStringLiteral("宋体"), 38, true, Qt::black);
    lblNo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto key = [this](const char* name, int x, int y, int tag) {
        return clickArea<Label>(this, name, {x, y, 66, 66}, tag);
    };
    Label1 = key("Label1", 243, 230, 1);
    Label2 = key("Label2", 377, 232, 2);
    Label3 = key("Label3", 505, 232, 3);
    Label4 = key("Label4", 242, 312, 4);
    Label5 = key("Label5", 377, 314, 5);
    Label6 = key("Label6", 507, 315, 6);
    Label7 = key("Label7", 243, 395, 7);
    Label8 = key("Label8", 377, 396, 8);
    Label9 = key("Label9", 507, 399, 9);
    Label10 = key("Label10", 377, 476, 0);
    lblReset = key("lblReset", 243, 476, 0);
    lblOk = key("lblOk", 507, 483, 0);
    for (Label* digit :
         {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10}) {
        digit->OnClick = [this](QObject* s) { Label1Click(s); };
    }
    lblReset->OnClick = [this](QObject* s) { lblResetClick(s); };
    lblOk->OnClick = [this](QObject* s) { lblOkClick(s); };

    imgXT = named(new Picture(this), "imgXT");
    imgXT->setAutoSize(true);
    imgXT->move(205, 107);
    imgXT->loadFromResource(artPath(QStringLiteral("QuestionPrompt.jpg")));
    imgXT->hide();

    imgTitle = named(new Picture(this), "imgTitle");
    imgTitle->setAutoSize(true);
    imgTitle->move(0, 0);
    imgTitle->loadFromResource(artPath(QStringLiteral("ExamTitle.bmp")));

    FormCreate();
}

void TFrm_StudentLogin::Label1Click(QObject* sender)
{
    const auto* key = dynamic_cast<Label*>(sender);
    lblNo->setCaption(lblNo->caption() + QString::number(key->tag()));
}

void TFrm_StudentLogin::lblResetClick(QObject*)
{
    lblNo->setCaption(QString());
}

void TFrm_StudentLogin::lblOkClick(QObject*)
{
    setModalResult(mrOk);
}
