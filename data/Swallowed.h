#pragma once

#include <QString>
#include <exception>

// Work that may fail without the learner being told (compaction, an optional picture,
// a draw that is retried) leaves one line on standard error, so that the cause of a
// fault can be found; nothing is shown and no log file is written.
//
//   taviro: <what>: <reason>
void reportSwallowed(const QString& what, const QString& reason);
// The reason is the error's own text; call it from a catch block with
// std::current_exception().
void reportSwallowed(const QString& what, const std::exception_ptr& error);
