#pragma once

#include <QDate>

// The calendar as the program sees it; tests put a fixed date in its place.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate currentDate() const = 0;

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

private:
    QDate m_date;
};
