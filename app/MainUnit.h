#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

// The main menu: the background draws five buttons, invisible click areas lie over them.
class TMainForm : public Form
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* owner = nullptr);

    Picture* Image1;
    Label* lblJiaoTongBiaoZhi;
    Label* lblJiaoTongFaGui;
    Label* lblShunXuLianXi;
    Label* lblMoLiKaoShi;
    Label* lblExit;
    // The study areas under the menu's picture: the record (its picture with the click
    // area over it) and the ways of study.
    Picture* imgXueXiJiLu;
    Label* lblXueXiJiLu;
    Label* lblAddress;
    Picture* imgXueYuanBan = nullptr; // the edition badge, made by FormCreate
    // The subject tabs on the title band: 科目一 (the rules) and 科目四 (safe driving).
    Picture* imgKeMuYi;
    Picture* imgKeMuSi;
    Picture* imgXueXiMoShi;

    // The written test the practice, exam and record areas lead to: 1 or 4. Subject one
    // at every start.
    int Subject = 1;
    void chooseSubject(int subject);

    void sbtnJiaoTongBiaoZhiClick(QObject* sender);
    void sbtnJiaoTongFaGuiClick(QObject* sender);
    void sbtnShunXuLianXiClick(QObject* sender);
    void sbtnMoLiKaoShiClick(QObject* sender);
    void sbtnExitClick(QObject* sender);
    void sbtnXueXiJiLuClick(QObject* sender);
    void sbtnXueXiMoShiClick(QObject* sender);

protected:
    void FormCreate();
    void FormShow() override;

private:
    void showSubject();
};

extern TMainForm* MainForm;

// Registers a COM server library: true only when its DllRegisterServer returned 0.
bool RegisterServerDll(const QString& path);
