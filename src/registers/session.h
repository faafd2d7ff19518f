#pragma once
// What the run needs once the device choice is made, apart from starting the master timer.
void BuildRunTables();         // register table and reading scale factors
void SetLoopModelDefaults();   // device 1's filter-design inputs, copied to device 2
