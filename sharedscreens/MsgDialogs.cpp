#include "sharedscreens/MsgDialogs.h"

#include "sharedscreens/MsgConsts.h"
#include "toolkit/Application.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <cstdlib>
#include <memory>

std::array<int, mbButtonCount> ButtonTextWidths = {};

namespace {

struct ButtonKind
{
    const char* name;
    const QString* caption;
    int modalResult;
};

const ButtonKind& buttonKind(int bit)
{
    using namespace MsgConsts;
    static const ButtonKind kinds[mbButtonCount] = {
        {"Yes", &SMsgDlgYes, mrYes},
        {"No", &SMsgDlgNo, mrNo},
        {"OK", &SMsgDlgOK, mrOk},
        {"Cancel", &SMsgDlgCancel, mrCancel},
        {"Abort", &SMsgDlgAbort, mrAbort},
        {"Retry", &SMsgDlgRetry, mrRetry},
        {"Ignore", &SMsgDlgIgnore, mrIgnore},
        {"All", &SMsgDlgAll, mrAll},
        {"NoToAll", &SMsgDlgNoToAll, mrNoToAll},
        {"YesToAll", &SMsgDlgYesToAll, mrYesToAll},
        {"Help", &SMsgDlgHelp, mrNone},
    };
    return kinds[bit];
}

QString titleOf(int dlgType)
{
    switch (dlgType) {
    case mtWarning:
        return MsgConsts::SMsgDlgWarning;
    case mtError:
        return MsgConsts::SMsgDlgError;
    case mtInformation:
        return MsgConsts::SMsgDlgInformation;
    case mtConfirmation:
        return MsgConsts::SMsgDlgConfirm;
    default:
        return Application::title();
    }
}

QStyle::StandardPixmap iconOf(int dlgType)
{
    switch (dlgType) {
    case mtWarning:
        return QStyle::SP_MessageBoxWarning;
    case mtError:
        return QStyle::SP_MessageBoxCritical;
    case mtInformation:
        return QStyle::SP_MessageBoxInformation;
    default:
        return QStyle::SP_MessageBoxQuestion;
    }
}

bool hasIcon(int dlgType)
{
    return dlgType >= mtWarning && dlgType <= mtConfirmation;
}

// The caption as it shows: the access-key ampersand is not drawn.
QString withoutAccessKey(const QString& caption)
{
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        shown += caption[i];
    }
    return shown;
}

QString normalisedBreaks(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

} // namespace

int MulDiv(int a, int b, int c)
{
    if (c == 0) {
        return -1;
    }
    const long long n = static_cast<long long>(a) * b;
    long long q = n / c;
    const long long r = n % c;
    if (2 * std::llabs(r) >= std::llabs(static_cast<long long>(c))) {
        q += ((n < 0) != (c < 0)) ? -1 : 1;
    }
    return int(q);
}

TMessageForm::TMessageForm(QWidget* owner)
    : Form(owner)
{
    setObjectName(QStringLiteral("MessageForm"));
    // A dialog border: title bar and close box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QApplication::font("QMessageBox"));
}

void TMessageForm::HelpButtonPressed()
{
    // No help file comes with the program: there is nothing to show.
}

void TMessageForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        // Esc presses the cancel button; without one it does nothing.
        for (auto* b : findChildren<QPushButton*>()) {
            if (b->property("cancelButton").toBool()) {
                b->click();
                return;
            }
        }
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (!focused) {
            for (auto* b : findChildren<QPushButton*>()) {
                if (b->isDefault()) {
                    focused = b;
                }
            }
        }
        if (focused) {
            focused->click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

TMessageForm* BuildMsgDialog(const QString& msg, int dlgType, TMsgDlgButtons buttons)
{
    auto form = std::make_unique<TMessageForm>();
    form->setLayoutDirection(QApplication::layoutDirection());
    form->setColor(QColor(215, 215, 255));
    const QFontMetrics fm(form->font());

    // Average character size of the form's font.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int unitX = fm.horizontalAdvance(letters) / 52;
    const int unitY = fm.height();

    const int horzMargin = MulDiv(11, unitX, 4);
    const int vertMargin = MulDiv(10, unitY, 8);
    const int horzSpacing = MulDiv(14, unitX, 4);
    const int vertSpacing = MulDiv(50, unitY, 8);
    int buttonWidth = MulDiv(70, unitX, 4);
    const int buttonHeight = MulDiv(18, unitY, 8);
    const int buttonSpacing = MulDiv(15, unitX, 4);

    int buttonCount = 0;
    for (int b = 0; b < mbButtonCount; ++b) {
        if (buttons & msgButton(TMsgDlgBtn(b))) {
            ++buttonCount;
            if (ButtonTextWidths[size_t(b)] == 0) {
                const QRect r = fm.boundingRect(QRect(), Qt::AlignLeft | Qt::TextSingleLine,
                                                withoutAccessKey(*buttonKind(b).caption));
                ButtonTextWidths[size_t(b)] = r.width() + 8;
            }
            buttonWidth = std::max(buttonWidth, ButtonTextWidths[size_t(b)]);
        }
    }

    const QRect screen = screenRect();
    const QRect textRect = fm.boundingRect(QRect(0, 0, screen.width() / 2, 0),
                                           Qt::AlignLeft | Qt::TextWordWrap | Qt::TextExpandTabs,
                                           normalisedBreaks(msg));
    const int textWidth = textRect.right() + 1;
    const int textHeight = textRect.bottom() + 1;

    int iconTextWidth = textWidth;
    int iconTextHeight = qRound(textHeight / 10.0 * 14);
    if (hasIcon(dlgType)) {
        iconTextWidth += 32 + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, 32);
    }
    const int buttonGroupWidth =
        buttonCount == 0 ? 0 : buttonCount * buttonWidth + (buttonCount - 1) * buttonSpacing;
    const int clientWidth = std::max(iconTextWidth, buttonGroupWidth) + horzMargin * 2;
    const int clientHeight = iconTextHeight + buttonHeight + vertSpacing + vertMargin * 2;
    form->setClientSize(clientWidth, clientHeight);
    form->setPosition(FormPosition::Designed);
    form->move(screen.width() / 2 - clientWidth / 2, screen.height() / 2 - clientHeight / 2);
    form->setWindowTitle(titleOf(dlgType));

    if (hasIcon(dlgType)) {
        auto* image = named(new Picture(form.get()), "Image");
        image->setGeometry(horzMargin, vertMargin, 32, 32);
        image->setImage(
            QApplication::style()->standardIcon(iconOf(dlgType)).pixmap(32, 32).toImage());
    }

    auto* message = named(new Label(form.get()), "Message");
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setCaption(msg);
    int left = iconTextWidth - textWidth + horzMargin;
    if (form->layoutDirection() == Qt::RightToLeft) {
        left = clientWidth - left - textWidth;
    }
    message->setGeometry(left, vertMargin, textWidth, textHeight);

    int defaultBit = -1;
    if (buttons & msgButton(mbOK)) {
        defaultBit = mbOK;
    } else if (buttons & msgButton(mbYes)) {
        defaultBit = mbYes;
    } else if (buttons & msgButton(mbRetry)) {
        defaultBit = mbRetry;
    }
    int cancelBit = -1;
    if (buttons & msgButton(mbCancel)) {
        cancelBit = mbCancel;
    } else if (buttons & msgButton(mbNo)) {
        cancelBit = mbNo;
    } else if (buttons & msgButton(mbOK)) {
        cancelBit = mbOK;
    }

    int x = (clientWidth - buttonGroupWidth) / 2;
    const int y = iconTextHeight + vertMargin + vertSpacing;
    TMessageForm* raw = form.get();
    QPushButton* first = nullptr;
    for (int b = 0; b < mbButtonCount; ++b) {
        if (!(buttons & msgButton(TMsgDlgBtn(b)))) {
            continue;
        }
        const ButtonKind& kind = buttonKind(b);
        auto* button = new QPushButton(*kind.caption, raw);
        button->setObjectName(QLatin1String(kind.name));
        button->setGeometry(x, y, buttonWidth, buttonHeight);
        button->setAutoDefault(true);
        button->setDefault(b == defaultBit);
        button->setProperty("cancelButton", b == cancelBit);
        if (b == mbHelp) {
            QObject::connect(button, &QPushButton::clicked, raw,
                             [raw] { guarded([raw] { raw->HelpButtonPressed(); }); });
        } else {
            const int result = kind.modalResult;
            QObject::connect(button, &QPushButton::clicked, raw,
                             [raw, result] { raw->setModalResult(result); });
        }
        if (!first) {
            first = button;
        }
        x += buttonWidth + buttonSpacing;
    }
    if (first) {
        first->setFocus();
    }
    return form.release();
}

int ShowMsgDialogAt(const QString& msg, int dlgType, TMsgDlgButtons buttons, int helpCtx, int x,
                    int y, const QString& helpFile)
{
    std::unique_ptr<TMessageForm> form(BuildMsgDialog(msg, dlgType, buttons));
    form->helpContext = helpCtx;
    form->helpFile = helpFile;
    if (x >= 0) {
        form->move(x, form->y());
    }
    if (y >= 0) {
        form->move(form->x(), y);
    }
    if (x < 0 && y < 0) {
        form->setPosition(FormPosition::ScreenCenter);
    }
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(14);
    form->setFont(f);
    // The message keeps its left edge and width and takes the height its text needs in
    // the dialog's font; the form and the buttons keep their sizes.
    if (auto* message = form->findChild<Label*>(QStringLiteral("Message"))) {
        message->setFont(f);
        message->resize(message->width(), message->heightForWidth(message->width()));
    }
    return form->showModal();
}

int ShowMsgDialog(const QString& msg, int dlgType, TMsgDlgButtons buttons, int helpCtx)
{
    return ShowMsgDialogAt(msg, dlgType, buttons, helpCtx, -1, -1, QString());
}
