#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/MediaPlayer.h"

// The wait screen: a small rounded window with a turning clock and a progress bar,
// shown while long work runs. The caller creates it (storing it in Frm_Wait), sets the
// range of pb, shows it, advances pb after each step while letting the window messages
// run, and frees it when the work is done or has failed. It is never closed. Work that
// may let no messages run (a write transaction is open) calls paintNow instead.
class TFrm_Wait : public Form
{
    Q_OBJECT
public:
    explicit TFrm_Wait(QWidget* owner = nullptr);
    ~TFrm_Wait() override;

    Panel* pnlTime;
    Label* Label1;
    ProgressBar* pb;
    MediaPlayer* MediaPlayer1;
    Timer* Timer1;

    void Timer1Timer(QObject* sender);
    // Shows the screen and lets the messages run until the display has it (a moment at
    // most), for work that lets none run afterwards.
    void showAtOnce();
    // Paints the screen at once with the bar as it stands and the clock's frame due now,
    // without the event loop that turns the clock otherwise.
    void paintNow();

protected:
    void FormCreate();
    void FormShow() override;
    void FormClose(CloseAction& action) override;

private:
    void keepClockTurning();
};

// The wait screen that is shown now; at most one exists at a time.
extern TFrm_Wait* Frm_Wait;
