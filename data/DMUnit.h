#pragma once

#include "data/Compaction.h"
#include "data/Connection.h"
#include "data/Query.h"

#include <QString>
#include <functional>

class Clock;

// The one data module: the connection to Drive.mdb and the three shared queries that
// belong to whichever screen is open.
class TDM
{
public:
    // What the data module needs of the program around it: a way to tell the learner
    // that the bank cannot be opened and to end the program.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual void connectionFailed() = 0;
    };

    static const QString kPassword;

    TDM(QString applicationDirectory, const Clock& clock, Host& host);
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // Compacts the bank on the 10th, 20th and 30th, then opens the connection.
    void DataModuleCreate();
    // Starts opening the bank of a folder on a thread of its own, for the start-up to do
    // other work meanwhile; DataModuleCreate takes the handle. Not on compaction days,
    // when the file is replaced first.
    static void openBankAhead(const QString& applicationDirectory, const Clock& clock);
    void ADOConWillConnect(Connection& connection, QString& connectionString, QString& userId,
                           QString& password, int& options, EventStatus& status);

    QString databasePath() const;
    // The calendar the module was given; the records of learning take their time from it.
    const Clock& clock() const { return m_clock; }

    // The compaction of the 10th, 20th and 30th; tests watch it here.
    std::function<void(const QString& path)> compactor = CompactDataFile;

    Connection ADOCon;
    Query ADOQryTopic;
    Query ADOQuery1;
    Query ADOQuery2;

private:
    void reportFailure();

    QString m_appDir;
    const Clock& m_clock;
    Host& m_host;
};

extern TDM* DM;

// The connection string of the bank in a folder, password included.
QString bankConnectionString(const QString& applicationDirectory);
