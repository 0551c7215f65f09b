#include "platform/strings.h"

namespace {

struct Entry {
    uint16_t id;
    const char* text;
};

constexpr Entry table[] = {
    {strCloseAllInstances, "Do you want to close all instances of %s?"},
    {strTextNotFound, "The text was not found!"},
    {strFirstFontFile, "LunvarethOrg.ttf"},
    {strSecondFontFile, "hexagrams.ttf"},
    {strDatabaseInUse, "The database cannot be opened because already other instance is running!"},
};

// The lookup buffer holds 256 bytes and gets a limit of 255, which leaves room
// for 254 characters and the terminator.
constexpr size_t maxLength = 254;

} // namespace

std::string loadResString(uint16_t id) {
    for (const Entry& e : table) {
        if (e.id == id)
            return std::string(e.text).substr(0, maxLength);
    }
    return {};
}
