#pragma once

#include <QColor>
#include <QDialog>

// Modal results as the old component model numbered them.
enum ModalResult : int
{
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

enum class CloseAction
{
    None, // stay open
    Hide,
    Free // destroyed once the events pending at the close have run
};

enum class FormPosition
{
    Designed,
    ScreenCenter
};

// A screen: a window without frame, of fixed client size, centred on the screen when
// shown, shown modally with a modal result, freed after its close when it says so.
class Form : public QDialog
{
    Q_OBJECT
public:
    explicit Form(QWidget* owner = nullptr);

    void setClientSize(int width, int height);
    void setPosition(FormPosition position) { m_position = position; }
    void setColor(const QColor& color);
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // Shows the form modally and returns its modal result. A form freed on close is
    // deleted only once the caller's event handler has returned, so the caller can
    // still read its controls.
    int showModal();
    void setModalResult(int result);
    int modalResult() const { return result(); }

    void done(int result) override;
    void reject() override;

protected:
    // The form's own close handler; the default hides it.
    virtual void FormClose(CloseAction& action);
    // The form's own show handler, run before the window becomes visible.
    virtual void FormShow() {}

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FormPosition m_position = FormPosition::ScreenCenter;
    bool m_inModalLoop = false;
    bool m_freeAfterClose = false;
    bool m_closing = false;
};

// The screen geometry forms centre themselves on.
QRect screenRect();
