#pragma once

class QFileDialog;

// Makes the file dialog Qt's own rather than the platform's, and its chosen
// file always the one that its name field names. Qt's dialog takes a file
// selected in its list before the name field, and it drops that selection
// only when the name changes while the field has the keyboard focus. Screen
// readers and voice control set the name through the accessibility interface
// without the focus, so the file picked in the list before, in this use of
// the dialog or an earlier one, stayed the choice.
void FollowNameField(QFileDialog *dialog);
