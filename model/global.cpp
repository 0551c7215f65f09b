#include "model/global.h"

namespace {

// The eight trigrams, bottom line first.
enum Trigram { Heaven, Lake, Fire, Thunder, Wind, Water, Mountain, Earth };

constexpr uint8_t trigramLines[8][3] = {
    {1, 1, 1}, {1, 1, 0}, {1, 0, 1}, {1, 0, 0}, {0, 1, 1}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0},
};

// The King Wen sequence as (lower, upper) trigram pairs.
constexpr Trigram kingWen[64][2] = {
    {Heaven, Heaven},   {Earth, Earth},      {Thunder, Water},    {Water, Mountain},
    {Heaven, Water},    {Water, Heaven},     {Water, Earth},      {Earth, Water},
    {Heaven, Wind},     {Lake, Heaven},      {Heaven, Earth},     {Earth, Heaven},
    {Fire, Heaven},     {Heaven, Fire},      {Mountain, Earth},   {Earth, Thunder},
    {Thunder, Lake},    {Wind, Mountain},    {Lake, Earth},       {Earth, Wind},
    {Thunder, Fire},    {Fire, Mountain},    {Earth, Mountain},   {Thunder, Earth},
    {Thunder, Heaven},  {Heaven, Mountain},  {Thunder, Mountain}, {Wind, Lake},
    {Water, Water},     {Fire, Fire},        {Mountain, Lake},    {Wind, Thunder},
    {Mountain, Heaven}, {Heaven, Thunder},   {Earth, Fire},       {Fire, Earth},
    {Fire, Wind},       {Lake, Fire},        {Mountain, Water},   {Water, Thunder},
    {Lake, Mountain},   {Thunder, Wind},     {Heaven, Lake},      {Wind, Heaven},
    {Earth, Lake},      {Wind, Earth},       {Water, Lake},       {Wind, Water},
    {Fire, Lake},       {Wind, Fire},        {Thunder, Thunder},  {Mountain, Mountain},
    {Mountain, Wind},   {Lake, Thunder},     {Fire, Thunder},     {Mountain, Fire},
    {Wind, Wind},       {Lake, Lake},        {Water, Wind},       {Lake, Water},
    {Lake, Wind},       {Mountain, Thunder}, {Fire, Water},       {Water, Fire},
};

constexpr std::array<uint8_t, 384> buildTable() {
    std::array<uint8_t, 384> table{};
    for (int n = 0; n < 64; ++n) {
        for (int k = 0; k < 3; ++k) {
            table[n * 6 + k] = trigramLines[kingWen[n][0]][k];
            table[n * 6 + 3 + k] = trigramLines[kingWen[n][1]][k];
        }
    }
    return table;
}

} // namespace

const std::array<uint8_t, 384> hexagramTable = buildTable();

OracleCast summaryAnswer;
int zoomPercent = 100;
bool cancelRequested = false;

bool tableLine(HexagramNumber n, int k) {
    return hexagramTable[(n - 1) * 6 + (k - 1)] != 0;
}

LinePattern tablePattern(HexagramNumber n) {
    LinePattern pattern{};
    for (int k = 1; k <= 6; ++k)
        pattern[k] = tableLine(n, k);
    return pattern;
}

std::string cut255(std::string text) {
    if (text.size() > 255)
        text.resize(255);
    return text;
}
