#pragma once

#include <QString>
#include <QStringList>

// Windows and Steam name folders without regard to case; the Linux file
// system does not. These helpers find the folder that was meant.
namespace PathMatch {

// The entry of dir named name: an exact match first, else one that differs
// only in case; "" when there is none.
QString EntryIgnoringCase(const QString& dir, const QString& name);

// base/part1/part2/..., each part matched without regard to case while the
// folders exist; parts below a missing folder are kept as given. No
// trailing separator.
QString FollowIgnoringCase(const QString& base, const QStringList& parts);

} // namespace PathMatch
