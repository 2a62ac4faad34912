#include "exam/Unt_MoLiKaoShiPingFen.h"

#include "data/DMUnit.h"
#include "toolkit/Resources.h"

namespace {

Label* scoreLabel(QWidget* parent, const char* name, QRect r, int px, const QColor& color,
                  const QString& caption = QString())
{
    Label* l = named(new Label(parent), name);
    l->setGeometry(r);
    l->setFontSpec(QStringLiteral("隶书"), px, true, color);
    l->setAlignment(Qt::AlignCenter);
    l->setCaption(caption);
    return l;
}

FlatButton* choice(QWidget* parent, const char* name, int x, int tag)
{
    auto* b = named(new FlatButton(parent), name);
    b->setGeometry(x, 327, 164, 68);
    b->setHandCursor();
    b->setTag(tag);
    return b;
}

} // namespace

TFrm_MoLiKaoShiPingFen::TFrm_MoLiKaoShiPingFen(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("Frm_MoLiKaoShiPingFen"));
    setCaption(QStringLiteral("Dialog"));
    setClientSize(800, 600);
    setColor(palette().color(QPalette::Button));

    Image1 = named(new Picture(this), "Image1");
    Image1->setGeometry(0, 0, 800, 600);
    Image1->loadFromResource(artPath(QStringLiteral("ExamResult.rgb32")));

    sbtnJiaoDui = choice(this, "sbtnJiaoDui", 186, 20);
    sbtnChongLianXi = choice(this, "sbtnChongLianXi", 359, 10);
    sbtnTuiChu = choice(this, "sbtnTuiChu", 532, 30);
    for (FlatButton* b : {sbtnJiaoDui, sbtnChongLianXi, sbtnTuiChu}) {
        b->OnClick = [this](QObject* s) { sbtnChongLianXiClick(s); };
    }

    lblNum =
        scoreLabel(this, "lblNum", QRect(59, 166, 156, 50), 56, Qt::black, QStringLiteral("100"));
    lblRight = scoreLabel(this, "lblRight", QRect(193, 263, 156, 50), 56, QColor(0, 128, 0));
    lblError = scoreLabel(this, "lblError", QRect(364, 263, 156, 50), 56, Qt::red);
    lblGrade = scoreLabel(this, "lblGrade", QRect(538, 263, 156, 50), 56, Qt::blue);
    lblPingYu = scoreLabel(this, "lblPingYu", QRect(62, 362, 634, 68), 64, QColor(0, 128, 0),
                           QStringLiteral("恭喜你！过关了。"));

    imgPingYu = named(new Picture(this), "imgPingYu");
    imgPingYu->setAutoSize(true);
    imgPingYu->move(270, 397);
    imgPingYu->loadFromResource(artPath(QStringLiteral("ExamPassed.rgb32")));
}

void TFrm_MoLiKaoShiPingFen::FormShow()
{
    Query& q = DM->ADOQuery2;
    q.close();
    q.SQL.clear();
    q.SQL.add(QStringLiteral("SELECT COUNT(*) FROM T_Topic a,T_TopicTmp b"));
    q.SQL.add(QStringLiteral(" WHERE a.ID=b.ID AND a.Result=b.Result"));
    q.open();
    lblRight->setCaption(q.fields(0).asString());
    lblError->setCaption(QString::number(lblNum->caption().toInt() - lblRight->caption().toInt()));
    lblGrade->setCaption(lblRight->caption());
    imgPingYu->setVisible(lblGrade->caption().toInt() >= 90);
    lblNum->hide();
    lblPingYu->hide();
}

void TFrm_MoLiKaoShiPingFen::sbtnChongLianXiClick(QObject* sender)
{
    SelectedTag = dynamic_cast<Clickable*>(sender)->tag();
    close();
}

void TFrm_MoLiKaoShiPingFen::FormClose(CloseAction& action)
{
    action = CloseAction::Free;
}
