#pragma once

#include <QString>

// A watch converts while the game runs; it must never take a frame from it.
// At idle priority the scheduler gives it only the processor time and the
// disk time that nothing else wants.
namespace IdlePriority {

// Lowers every thread of the process to the idle processor policy and the
// idle disk class; threads started afterwards inherit both. Why not, or
// empty.
QString lower();

} // namespace IdlePriority
