#pragma once

#include <QIcon>

// The viewer's own icon: the credits square turning over a black ground.
QIcon kudoscopeIcon();
