// The program's message texts, looked up by id.
#pragma once

#include <cstdint>
#include <string>

enum : uint16_t {
    strCloseAllInstances = 1, // "%s" stands for the product name
    strTextNotFound = 2,
    strFirstFontFile = 11,
    strSecondFontFile = 18,
    strDatabaseInUse = 19,
};

// The text with that id, "" when there is none; at most 254 characters.
std::string loadResString(uint16_t id);
