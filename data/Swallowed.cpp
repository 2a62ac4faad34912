#include "data/Swallowed.h"

#include "data/DataError.h"

#include <QtGlobal>

void reportSwallowed(const QString& what, const QString& reason)
{
    qWarning("taviro: %s: %s", qUtf8Printable(what), qUtf8Printable(reason));
}

void reportSwallowed(const QString& what, const std::exception_ptr& error)
{
    QString reason = QStringLiteral("unknown error");
    try {
        if (error) {
            std::rethrow_exception(error);
        }
    } catch (const DatabaseError& e) {
        reason = e.message();
    } catch (const std::exception& e) {
        reason = QString::fromUtf8(e.what());
    } catch (...) {
    }
    reportSwallowed(what, reason);
}
