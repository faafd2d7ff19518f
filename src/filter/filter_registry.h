#pragma once
// Registers the loop filter designer page with the main window.
void RegisterFilterPages();
