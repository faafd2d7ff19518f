#pragma once
#include <functional>

// Seconds since midnight in single precision: the clock of the master timer and of Delay.
float SystemTimer();

// Replaces the wall clock (tests); an empty function restores it.
void SetClockSource(std::function<double()> secondsSinceMidnight);
