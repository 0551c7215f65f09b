// config.ini in the program folder: the text zoom, read at start-up and
// written back when the main window closes.
#pragma once

#include <string>
#include <vector>

// Reads config.ini into zoomPercent (reading) or writes zoomPercent into it.
void syncSettings(bool reading);

// One line's step of syncSettings. When key + "=" occurs in lines[index]:
// reading sets value to the text after the line's first "=" ("-" reads as
// empty); writing replaces the line by key=value (value trimmed, "-" when
// empty). Other lines are left alone, and so is value.
void configLine(const std::string& key, std::string& value, std::vector<std::string>& lines,
                int index, bool reading);

// syncSettings on any file and zoom variable.
void syncSettingsFile(const std::string& path, bool reading, int& zoom);
