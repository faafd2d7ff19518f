#pragma once
// The program's entry up to the device chooser.
class frmMultiDevice;

// Shows the splash, runs the board start-up and its simulation offers, then shows the chooser.
frmMultiDevice* Main();
