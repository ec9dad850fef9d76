// Status texts of the main window (the file box, the status line, the
// firmware version, the controller number in hexadecimal) have accessible
// names of their own; what they show is their accessible value, so a screen
// reader hears both "Stan transmisji" and the text of the last job.
#pragma once

#include <QString>

class QLabel;

namespace lumera {

// Marks `label` so that its shown text is its accessible value.
void ExposeShownText(QLabel* label);

// Sets the text of a marked label and tells the accessibility clients.
void SetShownText(QLabel* label, const QString& text);

}  // namespace lumera
