#include "data/Clock.h"

namespace {
class SystemClock : public Clock
{
public:
    QDate currentDate() const override { return QDate::currentDate(); }
};
} // namespace

Clock& Clock::system()
{
    static SystemClock clock;
    return clock;
}
