#pragma once

#include <QDate>
#include <QDateTime>

// The calendar as the program sees it; tests put a fixed date in its place.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate currentDate() const = 0;
    // The local date and time; a clock that knows only the day gives the time of day.
    virtual QDateTime currentDateTime() const
    {
        return QDateTime(currentDate(), QTime::currentTime());
    }

    static Clock& system();
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(QDate date)
        : m_date(date)
    {}
    QDate currentDate() const override { return m_date; }
    void setDate(QDate date) { m_date = date; }
    // A fixed time of day too; without one the time of day is the real one.
    void setTime(QTime time) { m_time = time; }
    QDateTime currentDateTime() const override
    {
        return m_time.isValid() ? QDateTime(m_date, m_time) : Clock::currentDateTime();
    }

private:
    QDate m_date;
    QTime m_time;
};
