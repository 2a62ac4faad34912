#include "data/DMUnit.h"

#include "data/Clock.h"
#include "data/OpenAhead.h"
#include "data/Paths.h"
#include "data/Swallowed.h"

#include <exception>

TDM* DM = nullptr;

const QString TDM::kPassword = QStringLiteral("※题库数据·仅供练习※");

QString bankConnectionString(const QString& applicationDirectory)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;"
                          "Jet OLEDB:Database Password=") +
           TDM::kPassword + QStringLiteral(";") + QStringLiteral("Data Source=") +
           connectionStringValue(joinPath(applicationDirectory, QStringLiteral("Drive.mdb")));
}

TDM::TDM(QString applicationDirectory, const Clock& clock, Host& host)
    : m_appDir(std::move(applicationDirectory))
    , m_clock(clock)
    , m_host(host)
{
    ADOQryTopic.setConnection(&ADOCon);
    ADOQuery1.setConnection(&ADOCon);
    ADOQuery2.setConnection(&ADOCon);
    ADOQryTopic.SQL.add(QStringLiteral("SELECT * FROM T_Topic"));
    ADOQryTopic.SQL.add(QStringLiteral(" ORDER BY ID"));
    ADOCon.OnWillConnect = [this](Connection& c, QString& cs, QString& user, QString& pass,
                                  int& options, EventStatus& status) {
        ADOConWillConnect(c, cs, user, pass, options, status);
    };
}

QString TDM::databasePath() const
{
    return joinPath(m_appDir, QStringLiteral("Drive.mdb"));
}

void TDM::reportFailure()
{
    m_host.connectionFailed();
}

void TDM::DataModuleCreate()
{
    try {
        const int day = m_clock.currentDate().day();
        ADOCon.close();
        if (day % 10 == 0 && compactor) {
            openahead::discard();
            compactor(databasePath());
        }
        ADOCon.open();
    } catch (...) {
        // The learner sees the fixed message; the cause goes to standard error.
        reportSwallowed(QStringLiteral("the bank cannot be opened"), std::current_exception());
        reportFailure();
    }
}

void TDM::openBankAhead(const QString& applicationDirectory, const Clock& clock)
{
    if (clock.currentDate().day() % 10 == 0) {
        return;
    }
    ConnectionSettings settings;
    QByteArray key;
    QString error;
    if (parseConnectionString(bankConnectionString(applicationDirectory), &settings, &error) &&
        passwordKey(settings.password, &key, &error)) {
        openahead::start(settings.dataSource, key);
    }
}

void TDM::ADOConWillConnect(Connection& connection, QString& connectionString, QString& userId,
                            QString& password, int& options, EventStatus& status)
{
    Q_UNUSED(userId);
    Q_UNUSED(password);
    Q_UNUSED(options);
    connection.close();
    connectionString = bankConnectionString(m_appDir);
    if (status != EventStatus::OK) {
        reportFailure();
    }
}
