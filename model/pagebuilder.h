// Builds the pages of the main view: loads a page as lines from data1.hhz (or
// texto/) and, for a hexagram page, inserts the Chinese tables, the anchors
// "start" and "L1".."L6" and the answer summary table before handing it on.
#pragma once

#include "model/global.h"
#include "model/textsources.h"

#include <string>

// Where a page is shown. The GUI's HTML view implements it.
class PageView {
public:
    virtual ~PageView() = default;
    // Shows the page: lines joined by CR LF; base = folder for relative references.
    virtual void loadLines(const Lines& lines, const std::string& base) = 0;
};

// Index of the first line at start or later that contains text; -1 when none
// (also for a start outside the lines).
int findLine(int start, const std::string& text, const Lines& lines);

// Every line followed by CR LF: the page as the view and the search see it.
std::string joinLines(const Lines& lines);

// Builds page name and shows it in view. source: 1 = texto/, 2 = data1.hhz,
// plus 10 for the answer summary (from summaryAnswer). chinese: insert the
// Chinese tables. n: the hexagram of the page, 0 for other pages (nothing inserted).
// A missing view shows "Failure: Viewer is nil.". Content errors are not caught.
void loadPage(PageView* view, const std::string& name, int source, bool chinese, HexagramNumber n);

// Loads the page into lines (replacing them) and inserts the Chinese tables
// when chinese is set and n > 0. No anchors, no summary.
void loadPageLines(Lines& lines, const std::string& name, int source, bool chinese,
                   HexagramNumber n);

// The file or member as one text, every line followed by CR LF.
std::string loadText(const std::string& name, int source);

// The steps of loadPage. A page that lacks a marker keeps its other tables and anchors.
void insertChineseTables(HexagramNumber n, Lines& page);
void insertCommentRows(const CharacterDictionary& dictionary, const Lines& items, Lines& page,
                       int at);
void insertAnchors(Lines& page);
void insertAnswerSummary(const OracleCast& answer, Lines& page);
