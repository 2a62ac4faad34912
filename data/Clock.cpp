#include "data/Clock.h"

namespace {
class SystemClock : public Clock
{
public:
    QDate currentDate() const override { return QDate::currentDate(); }
    QDateTime currentDateTime() const override { return QDateTime::currentDateTime(); }
};
} // namespace

Clock& Clock::system()
{
    static SystemClock clock;
    return clock;
}
