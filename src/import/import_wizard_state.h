#pragma once

// What the import wizards show apart from their pages: how the window was
// closed and the progress bar of the import.

enum class WizardResult { None, Ok, Cancel };

struct WizardProgress {
    int Min = 0;
    int Max = 100;
    int Position = 0;
    int Step = 10;
};
