#pragma once
// Registers the chip configuration pages with the main window.
void RegisterConfigurationPages();
