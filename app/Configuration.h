#pragma once
// The configuration file "KRVX500.CFG" and the student log-on, run once at the first
// background erase of the main window's client area.
void ReadConfigurationAndLogOn();
