#include "app/settings.h"

#include "archive/content.h"
#include "model/global.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string zoomKey = "ZOOM";
constexpr size_t maxValueLength = 999;
constexpr int defaultZoom = 100;
constexpr int minZoom = 10;
constexpr int maxZoom = 1000;

// config.ini as lines, each with the line end it had ("\r\n", "\n", "\r" or ""
// for a last line without one), so a rewrite keeps the file's own line ends.
struct ConfigFile {
    std::vector<std::string> lines;
    std::vector<std::string> ends;
    std::string bytes;
};

bool readConfig(const std::string& path, ConfigFile& file) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad())
        return false;
    file.bytes = all.str();
    const std::string& bytes = file.bytes;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        std::string eol;
        if (end == std::string::npos)
            end = bytes.size();
        else if (bytes.compare(end, 2, "\r\n") == 0)
            eol = "\r\n";
        else
            eol = bytes[end];
        file.lines.push_back(bytes.substr(start, end - start));
        file.ends.push_back(eol);
        start = end + eol.size();
    }
    return true;
}

std::string joinConfig(const ConfigFile& file) {
    std::string text;
    for (size_t i = 0; i < file.lines.size(); ++i)
        text += file.lines[i] + file.ends[i];
    return text;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes a temporary file beside the target and renames it over, so the file
// is either the old one or the whole new one. Failures leave the old file.
void replaceFile(const std::string& path, const std::string& text) {
    char resolved[PATH_MAX];
    const std::string target = ::realpath(path.c_str(), resolved) ? resolved : path;
    struct stat st;
    if (::stat(target.c_str(), &st) != 0)
        return;
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return;
    const bool written =
        ::fchmod(fd, st.st_mode & 07777) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), target.c_str()) != 0)
        ::unlink(temp.c_str());
}

std::string trimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number from 10 to 1000, blanks around it allowed; anything else
// reads as the default zoom.
int zoomFromText(const std::string& text) {
    const std::string number = trimBlanks(text);
    const size_t sign = !number.empty() && (number[0] == '+' || number[0] == '-') ? 1 : 0;
    if (number.size() == sign || number.find_first_not_of("0123456789", sign) != std::string::npos)
        return defaultZoom;
    errno = 0;
    const long value = std::strtol(number.c_str(), nullptr, 10);
    if (errno != 0 || value < minZoom || value > maxZoom)
        return defaultZoom;
    return static_cast<int>(value);
}

bool isConfigLine(const std::string& line, const std::string& key) {
    return line.find(key + "=") != std::string::npos;
}

} // namespace

void configLine(const std::string& key, std::string& value, std::vector<std::string>& lines,
                int index, bool reading) {
    if (index < 0 || static_cast<size_t>(index) >= lines.size())
        return;
    std::string& line = lines[static_cast<size_t>(index)];
    if (!isConfigLine(line, key))
        return;
    if (reading) {
        value = line.substr(line.find('=') + 1, maxValueLength);
        if (value == "-")
            value.clear();
    } else {
        value = trimBlanks(value);
        line = key + "=" + (value.empty() ? "-" : value);
    }
}

void syncSettingsFile(const std::string& path, bool reading, int& zoom) {
    ConfigFile file;
    if (!readConfig(path, file)) {
        if (reading)
            zoom = defaultZoom;
        return;
    }
    // Upwards, so that the topmost ZOOM line decides.
    for (int i = static_cast<int>(file.lines.size()) - 1; i >= 0; --i) {
        std::string value = std::to_string(zoom);
        const bool zoomLine = isConfigLine(file.lines[static_cast<size_t>(i)], zoomKey);
        configLine(zoomKey, value, file.lines, i, reading);
        if (reading && zoomLine)
            zoom = zoomFromText(value.empty() ? "100" : value);
    }
    if (!reading) {
        const std::string text = joinConfig(file);
        if (text != file.bytes)
            replaceFile(path, text);
    }
}

void syncSettings(bool reading) {
    syncSettingsFile(programFolder() + "config.ini", reading, zoomPercent);
}
