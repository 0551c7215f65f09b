// Fonts the pages ask for by their Windows names.
#pragma once

#include <QString>

// Makes a font file usable by its family name in this process. A file that
// cannot be loaded is ignored.
void addFontFile(const QString& path);

// Maps the Windows font names used by the pages and views (Times New Roman,
// Arial, Courier New, Georgia, MS Sans Serif, System) to free fonts with the
// same or close metrics.
void installFontSubstitutions();
