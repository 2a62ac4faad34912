#include "tests/support/TestSupport.h"

#include "app/MainUnit.h"
#include "data/DMUnit.h"
#include "exampaper/ExamPaper.h"
#include "toolkit/Application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <memory>

namespace testing {

AppFolder::AppFolder()
{
    if (!m_dir.isValid()) {
        qFatal("cannot make a temporary folder");
    }
}

QString AppFolder::file(const QString& name) const
{
    return m_dir.filePath(name);
}

void AppFolder::writeBank(const std::vector<BankRow>& rows)
{
    QString error;
    if (!::writeBank(file(QStringLiteral("Drive.mdb")), rows, &error)) {
        qFatal("cannot write the test bank: %s", qPrintable(error));
    }
}

void AppFolder::writeBank()
{
    writeBank(smallBank());
}

void AppFolder::copyFromBuild(const QString& name)
{
    const QString from = QStringLiteral(TAVIRO_APP_DIR "/") + name;
    QFile::remove(file(name));
    if (!QFile::copy(from, file(name))) {
        qFatal("cannot copy %s", qPrintable(from));
    }
}

void AppFolder::writeFile(const QString& name, const QByteArray& bytes)
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(name));
    }
}

QByteArray AppFolder::readFile(const QString& name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void AppFolder::exec(const QString& sql) const
{
    Connection c;
    c.connectionString = bankConnectionString(path());
    c.open();
    Query q(&c);
    q.SQL.add(sql);
    q.execSQL();
}

void AppFolder::exec(const QStringList& statements) const
{
    for (const QString& sql : statements) {
        exec(sql);
    }
}

QVariant AppFolder::scalar(const QString& sql) const
{
    Connection c;
    c.connectionString = bankConnectionString(path());
    c.open();
    Query q(&c);
    q.SQL.add(sql);
    q.open();
    return q.isEmpty() ? QVariant() : q.fields(0).value();
}

QList<QPair<QString, QString>> awkwardFolderNames()
{
    QString longPath;
    // Deep enough to pass most limits of names, short enough for the engine's own limit
    // of a file name (512 bytes), which no quoting can lift.
    for (int i = 0; i < 6; ++i) {
        longPath +=
            QStringLiteral("/驾驶理论学习资料第%1部分_").arg(i) + QString(20, QLatin1Char('x'));
    }
    return {
        {QStringLiteral("blank"), QStringLiteral("my study")},
        {QStringLiteral("semicolon"), QStringLiteral("a;b")},
        {QStringLiteral("apostrophe"), QStringLiteral("驾考/it's mine")},
        {QStringLiteral("double quote"), QStringLiteral("say \"hi\"")},
        {QStringLiteral("equals sign"), QStringLiteral("a=b;Data Source=x")},
        {QStringLiteral("chinese"), QStringLiteral("驾考 学习")},
        {QStringLiteral("blank at the end"), QStringLiteral(" edge ")},
        {QStringLiteral("long path"), longPath.mid(1)},
    };
}

QString makeBankFolder(const QString& base, const QString& relative)
{
    const QString folder = base + QLatin1Char('/') + relative;
    if (!QDir().mkpath(folder)) {
        qFatal("cannot make the folder %s", qPrintable(folder));
    }
    QString error;
    if (!::writeBank(folder + QStringLiteral("/Drive.mdb"), smallBank(), &error)) {
        qFatal("cannot write the test bank: %s", qPrintable(error));
    }
    return folder;
}

BankRow choiceRow(int id, const QString& question, const QString& answer)
{
    BankRow r;
    r.id = id;
    r.type = 0;
    r.content = question + QStringLiteral("\r\nA、一\r\nB、二\r\nC、三\r\nD、四");
    r.result = answer;
    r.source = QStringLiteral("测试");
    r.explain = QStringLiteral("测试");
    r.key = QStringLiteral("t-%1").arg(id);
    return r;
}

BankRow trueFalseRow(int id, const QString& statement, const QString& answer)
{
    BankRow r;
    r.id = id;
    r.type = 1;
    r.content = statement;
    r.result = answer;
    r.source = QStringLiteral("测试");
    r.explain = QStringLiteral("测试");
    r.key = QStringLiteral("t-%1").arg(id);
    return r;
}

std::vector<BankRow> smallBank()
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 30));
    std::vector<BankRow> rows = {
        choiceRow(1, QStringLiteral("机动车驾驶人初次申领驾驶证后的实习期是多长？"),
                  QStringLiteral("B")),
        choiceRow(2, QStringLiteral("高速公路上小型载客汽车的最高车速是多少？"),
                  QStringLiteral("D")),
        trueFalseRow(3, QStringLiteral("驾驶机动车应当随身携带驾驶证。"), QStringLiteral("√")),
        trueFalseRow(4, QStringLiteral("饮酒后可以驾驶机动车。"), QStringLiteral("×")),
        choiceRow(442, QStringLiteral("如图所示，这个标志是何含义？"), QStringLiteral("A")),
        trueFalseRow(443, QStringLiteral("如图所示，这个标志表示禁止驶入。"), QStringLiteral("√")),
    };
    rows[4].picture = pictureBlob(picture, false);
    rows[5].picture = pictureBlob(picture, true);
    return rows;
}

void closeModal(QWidget* modal)
{
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

namespace {

// A modal action belongs to the test function (and data row) that armed it: it never
// acts on a later test's window, and what it leaves undone fails its own test.
struct ModalAction
{
    QByteArray test;
    QByteArray row;
    std::source_location where;
    bool settled = false; // ran, or its failure was reported
};

std::vector<std::shared_ptr<ModalAction>>& modalActions()
{
    static std::vector<std::shared_ptr<ModalAction>> actions;
    return actions;
}

QByteArray currentTest()
{
    return QByteArray(QTest::currentTestFunction());
}

QByteArray currentRow()
{
    return QByteArray(QTest::currentDataTag());
}

bool ownedByCurrentTest(const ModalAction& action)
{
    return action.test == currentTest() && action.row == currentRow();
}

void failAt(const std::source_location& where, const QString& what)
{
    QTest::qFail(qPrintable(what), where.file_name(), int(where.line()));
}

} // namespace

void whenModal(std::function<void(QWidget*)> action, int timeoutMs, std::source_location where)
{
    QWidget* before = QApplication::activeModalWidget();
    auto owner =
        std::make_shared<ModalAction>(ModalAction{currentTest(), currentRow(), where, false});
    modalActions().push_back(owner);
    auto deadline = std::make_shared<QElapsedTimer>();
    deadline->start();
    auto poll = std::make_shared<std::function<void()>>();
    // The poll holds itself only weakly; the pending timer holds it until it has run.
    const std::weak_ptr<std::function<void()>> self = poll;
    *poll = [=]() {
        if (owner->settled || !ownedByCurrentTest(*owner)) {
            return; // its test has ended: checkModalActions() reports what it left
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            owner->settled = true;
            const QPointer<QWidget> shown(modal);
            action(modal);
            // A failed check inside the action returns from it with the window still
            // open; closed here, its exec() returns and the test ends failed at once
            // instead of waiting for the test's time limit.
            if (QTest::currentTestFailed() && shown && shown->isVisible()) {
                closeModal(shown);
            }
            return;
        }
        if (deadline->elapsed() > timeoutMs) {
            owner->settled = true;
            failAt(where, QStringLiteral("no modal window opened"));
            return;
        }
        if (const auto again = self.lock()) {
            QTimer::singleShot(10, [again] { (*again)(); });
        }
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
}

void checkModalActions()
{
    auto& actions = modalActions();
    for (const auto& action : actions) {
        if (!action->settled && ownedByCurrentTest(*action)) {
            action->settled = true;
            failAt(action->where, QStringLiteral("the test ended before a modal window "
                                                 "opened for its action"));
        }
    }
    std::erase_if(actions, [](const auto& action) { return action->settled; });
}

int unsettledModalActions()
{
    int count = 0;
    for (const auto& action : modalActions()) {
        if (!action->settled) {
            std::fprintf(stderr, "FAIL!  : %s(%s) armed a modal action at %s:%u that never ran\n",
                         action->test.constData(), action->row.constData(),
                         action->where.file_name(), unsigned(action->where.line()));
            ++count;
        }
    }
    return count;
}

void answerMessageBox(int standardButton, QString* seenText, QString* seenTitle, int* seenIcon,
                      std::source_location where)
{
    whenModal(
        [=](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                QTest::qFail("the modal window is no message box", __FILE__, __LINE__);
                modal->close();
                return;
            }
            if (seenText) {
                *seenText = box->text();
            }
            if (seenTitle) {
                *seenTitle = box->windowTitle();
            }
            if (seenIcon) {
                *seenIcon = int(box->icon());
            }
            QAbstractButton* button = box->button(QMessageBox::StandardButton(standardButton));
            if (!button) {
                QTest::qFail("the message box lacks the button", __FILE__, __LINE__);
                box->close();
                return;
            }
            button->click();
        },
        5000, where);
}

void clickWindowAt(QWidget* window, const QPoint& position)
{
    QWindow* handle = window->window()->windowHandle();
    if (!handle) {
        QTest::qFail("the window is not shown", __FILE__, __LINE__);
        return;
    }
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, position);
}

void clickControl(QWidget* control)
{
    QWidget* window = control->window();
    clickWindowAt(window, control->mapTo(window, control->rect().center()));
}

QList<QWidget*> visibleWindows()
{
    QList<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            shown << w;
        }
    }
    return shown;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

std::vector<PlanShare> examPlanShares()
{
    std::vector<PlanShare> shares;
    for (const TExam& row : ExamPlan) {
        shares.push_back({row.Count, row.Condition});
    }
    return shares;
}

QString joined(const QStringList& lines)
{
    return lines.join(QLatin1Char('\n'));
}

void endStartedProgram()
{
    delete MainForm;
    MainForm = nullptr;
    delete DM;
    DM = nullptr;
    Application::clearTermination();
}

BankRow* rowOf(std::vector<BankRow>& rows, int id)
{
    for (BankRow& r : rows) {
        if (r.id == id) {
            return &r;
        }
    }
    return nullptr;
}

} // namespace testing
