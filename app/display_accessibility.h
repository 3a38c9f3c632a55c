#pragma once

// Screen readers name a text label by its text. A label that carries an
// accessible name of its own, such as a totals display ("Gesamtkalorien"),
// would hide what it shows behind that name; with this installed, every text
// label also offers its shown text as its text and value, so the displays
// read as their name and their current value.
void InstallDisplayAccessibility();
