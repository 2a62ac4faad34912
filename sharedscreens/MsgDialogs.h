#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

#include <QString>
#include <array>
#include <cstdint>

class QPushButton;

// Dialog kinds, by code.
enum TMsgDlgType : int
{
    mtWarning = 0,
    mtError = 1,
    mtInformation = 2,
    mtConfirmation = 3,
    mtCustom = 4
};

// The buttons, by bit of the button mask; laid out left to right in this order.
enum TMsgDlgBtn : int
{
    mbYes = 0,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbButtonCount
};

using TMsgDlgButtons = std::uint16_t;

constexpr TMsgDlgButtons msgButton(TMsgDlgBtn b)
{
    return TMsgDlgButtons(1u << b);
}

// The dialog form: a title bar with a close box, an icon, the message and the buttons.
class TMessageForm : public Form
{
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* owner = nullptr);

    void HelpButtonPressed();

    int helpContext = 0;
    QString helpFile;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Measured caption widths (+8) of the buttons, kept for the whole run.
extern std::array<int, mbButtonCount> ButtonTextWidths;

// Builds the laid-out dialog, not yet shown; the caller owns it.
TMessageForm* BuildMsgDialog(const QString& msg, int dlgType, TMsgDlgButtons buttons);

int ShowMsgDialog(const QString& msg, int dlgType, TMsgDlgButtons buttons, int helpCtx);
int ShowMsgDialogAt(const QString& msg, int dlgType, TMsgDlgButtons buttons, int helpCtx, int x,
                    int y, const QString& helpFile);

// The platform's multiply-divide: a × b / c rounded to the nearest integer, halves away
// from zero.
int MulDiv(int a, int b, int c);
