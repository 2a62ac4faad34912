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
    Label* lblXueXiJiLu; // the study record, drawn over the menu's scene
    Label* lblAddress;
    Picture* imgXueYuanBan = nullptr; // the edition badge, made by FormCreate

    void sbtnJiaoTongBiaoZhiClick(QObject* sender);
    void sbtnJiaoTongFaGuiClick(QObject* sender);
    void sbtnShunXuLianXiClick(QObject* sender);
    void sbtnMoLiKaoShiClick(QObject* sender);
    void sbtnExitClick(QObject* sender);
    void sbtnXueXiJiLuClick(QObject* sender);

protected:
    void FormCreate();
    void FormShow() override;
};

extern TMainForm* MainForm;

// Registers a COM server library: true only when its DllRegisterServer returned 0.
bool RegisterServerDll(const QString& path);
