#pragma once

// Loads what the commands work on from the data folder, as the desktop
// program does at start: the settings, then every stored account.
void LoadStoredSettings();
void LoadStoredAccounts();
