#pragma once
// The program's own icon: a controller chip with a switching waveform on it.
#include <QIcon>

QIcon ProgramIcon();
