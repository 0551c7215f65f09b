#include "archive/content.h"
#include "archive/errors.h"
#include "archive/writer.h"
#include "model/hexaroutines.h"
#include "model/messages.h"
#include "model/pagebuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class KeepingView : public PageView {
public:
    void loadLines(const Lines& newLines, const std::string& newBase) override {
        lines = newLines;
        base = newBase;
        ++calls;
    }
    Lines lines;
    std::string base;
    int calls = 0;
};

// A hexagram page in the layout of our content, one element per line.
Lines hexagramPage(int n, bool allLines) {
    Lines page = {
        "<html>",
        "<head>",
        "<title>" + tocItemText(n) + "</title>",
        "</head>",
        "<body>",
        "<p class=\"titulohexa\"><span class=\"hxtitle\">" + tocItemText(n) + "</span></p>",
        "<p class=\"titulo-dict\">The Judgment</p>",
        "<p class=\"dictum\">judgment</p>",
        "<p class=\"dicccomment\">judgment comment</p>",
        "<p class=\"titulo-dict\">The Image</p>",
        "<p class=\"dictum\">image</p>",
        "<p class=\"dicccomment\">image comment</p>",
    };
    for (const char* place : {"First", "Second", "Third", "Fourth", "Fifth", "Top"}) {
        page.push_back(std::string("<p class=\"titulo-dictimage\">") + place + " line</p>");
        page.push_back("<p class=\"dictum\">line</p>");
        page.push_back(std::string("<p class=\"dicccomment\">") + place + " comment</p>");
    }
    if (allLines) {
        page.push_back("<p class=\"titulo-dictimage\">All lines &ndash; all nines</p>");
        page.push_back("<p class=\"dictum\">all</p>");
        page.push_back("<p class=\"dicccomment\">all comment</p>");
    }
    page.push_back("</body>");
    page.push_back("</html>");
    return page;
}

const char* const yijing = "<HN>1</HN>\n"
                           "<GUACI>qian 1 *yuan 2 heng 3</GUACI>\n"
                           "<DAXIANG>tian 4</DAXIANG>\n"
                           "<L1>qian 1</L1>\n<L2>qian 1</L2>\n<L3>qian 1</L3>\n"
                           "<L4>qian 1</L4>\n<L5>qian 1</L5>\n<L6>qian 1</L6>\n"
                           "<L7>yong 5 jiu 6</L7>\n"
                           "<HN>3</HN>\n"
                           "<TAG>zhun 7</TAG>\n"
                           "<GUACI>zhun 7</GUACI>\n"
                           "<DAXIANG>tian 4</DAXIANG>\n"
                           "<L1>qian 1</L1>\n<L2>qian 1</L2>\n<L3>qian 1</L3>\n"
                           "<L4>qian 1</L4>\n<L5>qian 1</L5>\n<L6>qian 1</L6>\n"
                           "<L7>yong 5</L7>\n";

const char* const edText = "1 qian 4E7E the creative\r\n"
                           "2 yuan 5143 sublime\r\n"
                           "3 heng 4EA8 success\r\n"
                           "4 tian 5929 heaven\r\n"
                           "5 yong 7528 use\r\n"
                           "6 jiu 4E5D nine\r\n"
                           "7 zhun 5C6F difficulty\r\n";

class PageBuilder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lunv-model-XXXXXX";
        folder = mkdtemp(pattern);
        fs::create_directories(folder / "texto");
        setProgramFolder(folder.string() + "/");
        for (Lines& list : sectionLists)
            list.clear();
        setMessageHandler([this](const std::string& text) { messages.push_back(text); });
        writeTexto("yijing.txt", yijing);
        writeTexto("ed.txt", edText);
    }
    void TearDown() override {
        setMessageHandler(nullptr);
        freeArchiveReader();
        fs::remove_all(folder);
    }

    void writeTexto(const std::string& name, const std::string& text) {
        std::ofstream(folder / "texto" / name, std::ios::binary) << text;
    }
    void writePage(const std::string& name, const Lines& lines) {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\n";
        writeTexto(name, text);
    }
    Lines build(const Lines& page, int n, bool chinese, int source = 1) {
        writePage("page.htm", page);
        KeepingView view;
        loadPage(&view, "page.htm", source, chinese, n);
        EXPECT_EQ(view.calls, 1);
        return view.lines;
    }

    fs::path folder;
    Lines messages;
};

TEST_F(PageBuilder, FindLineAndLoadText) {
    const Lines lines = {"zero", "one", "two"};
    EXPECT_EQ(findLine(2, "one", lines), -1);
    EXPECT_EQ(findLine(2, "two", lines), 2);
    EXPECT_EQ(findLine(0, "o", lines), 0);
    EXPECT_EQ(findLine(-1, "o", lines), -1);
    EXPECT_EQ(findLine(3, "o", lines), -1);

    writeTexto("two.txt", "a\nb");
    EXPECT_EQ(loadText("two.txt", sourceFolder), "a\r\nb\r\n");
    writeTexto("mixed.txt", "a\r\nb\rc\n");
    EXPECT_EQ(loadText("mixed.txt", sourceFolder), "a\r\nb\r\nc\r\n");
}

TEST_F(PageBuilder, OtherPagesShowAsStored) {
    const Lines page = hexagramPage(5, false);
    KeepingView view;
    writePage("about.htm", page);
    loadPage(&view, "about.htm", 11, true, 0);
    EXPECT_EQ(view.lines, page);
    EXPECT_EQ(view.base, programFolder());
}

TEST_F(PageBuilder, AnchorsWithoutChineseText) {
    Lines page = hexagramPage(5, false);
    Lines built = build(page, 5, false);
    ASSERT_EQ(built.size(), page.size());
    EXPECT_EQ(built[5], "<a name=\"start\"></a>" + page[5]);
    EXPECT_EQ(built[12], "<a name=\"L1\"></a>" + page[12]);
    EXPECT_EQ(built[27], "<a name=\"L6\"></a>" + page[27]);
    int anchors = 0;
    for (const std::string& line : built)
        anchors += line.find("<a name=") != std::string::npos;
    EXPECT_EQ(anchors, 7);
}

TEST_F(PageBuilder, ChineseTablesStandBeforeTheirComments) {
    Lines built = build(hexagramPage(1, true), 1, true);
    // Statement: three rows, the table opened on the first and closed on the last.
    int at = findLine(0, "judgment comment", built);
    ASSERT_GE(at, 3);
    EXPECT_EQ(built[at - 3], "<div class=\"chinocom\"><table><tr><td><span class=TF2>&#x4E7E;"
                             "</span></td><td><span class=pin>qian</span></td><td><span "
                             "class=tex3>the creative</span></td></tr>");
    EXPECT_EQ(built[at - 2], "<tr><td><span class=TF2>&#x5143;</span></td><td><span "
                             "class=pin>yuan</span></td><td><span class=tex3>sublime</span>"
                             "</td></tr>");
    EXPECT_EQ(built[at - 1].substr(built[at - 1].size() - 14), "</table></div>");
    // A one-item section carries both ends of the table in its single row.
    at = findLine(0, "image comment", built);
    EXPECT_EQ(built[at - 1], "<div class=\"chinocom\"><table><tr><td><span class=TF2>&#x5929;"
                             "</span></td><td><span class=pin>tian</span></td><td><span "
                             "class=tex3>heaven</span></td></tr></table></div>");
    for (const char* place : {"First", "Second", "Third", "Fourth", "Fifth", "Top"}) {
        at = findLine(0, std::string(place) + " comment", built);
        EXPECT_NE(built[at - 1].find("&#x4E7E;"), std::string::npos) << place;
        EXPECT_NE(built[at - 3].find("<a name=\"L"), std::string::npos) << place;
    }
    at = findLine(0, "all comment", built);
    EXPECT_NE(built[at - 2].find("&#x7528;"), std::string::npos);
    EXPECT_NE(built[at - 1].find("&#x4E5D;"), std::string::npos);
    EXPECT_EQ(findLine(0, "<a name=\"start\"></a><p class=\"titulohexa\">", built), 5);
}

TEST_F(PageBuilder, AllLinesTableOnlyForTheFirstTwo) {
    Lines built = build(hexagramPage(3, true), 3, true);
    int at = findLine(0, "all comment", built);
    EXPECT_EQ(built[at - 1], "<p class=\"dictum\">all</p>");
    at = findLine(0, "judgment comment", built);
    EXPECT_NE(built[at - 1].find("&#x5C6F;"), std::string::npos);
}

TEST_F(PageBuilder, PlainPageLinesForTheSearch) {
    Lines lines = {"old"};
    writePage("01.htm", hexagramPage(1, true));
    loadPageLines(lines, "01.htm", sourceFolder, true, 1);
    EXPECT_GE(findLine(0, "&#x4E7E;", lines), 0);
    EXPECT_EQ(findLine(0, "<a name=", lines), -1);
    loadPageLines(lines, "01.htm", sourceFolder, false, 1);
    EXPECT_EQ(lines, hexagramPage(1, true));
}

TEST_F(PageBuilder, SummaryAfterTheBodyLine) {
    OracleCast cast =
        castFromLines({9, 7, 7, 7, 7, 7}, "Will it <b>rain</b> & \"pour\"?", "12/25/2009");
    fillAnswerTexts(cast);
    summaryAnswer = cast;
    Lines built = build(hexagramPage(1, false), 1, false, 11);
    EXPECT_EQ(built[4], "<body>");
    EXPECT_EQ(built[5],
              "<table width=\"100%\" cellpadding=\"4\" cellspacing=\"4\" bgcolor=\"#CCCCCC\">"
              "<tr><td>Question:</td><td width=\"99%\" class=\"con2\">Will it &lt;b&gt;rain&lt;"
              "/b&gt; &amp; &quot;pour&quot;?</td></tr><tr><td>Date:</td><td width=\"99%\" "
              "class=\"con2\">12/25/2009</td></tr><tr><td>First&nbsp;Hexagram:</td><td "
              "width=\"99%\" class=\"con2\">01 - The Creative / Activity / Dynamic Force</td>"
              "</tr><tr><td>Changing&nbsp;Lines:</td><td width=\"99%\" class=\"con2\">1</td>"
              "</tr><tr><td>Second&nbsp;Hexagram:</td><td width=\"99%\" class=\"con2\">44 - "
              "Close Encounter / Meeting</td></tr></table>");

    // A body tag with attributes is no marker: the summary becomes the first line.
    Lines page = hexagramPage(1, false);
    page[4] = "<body class=\"book\">";
    built = build(page, 1, false, 12 - 1);
    EXPECT_EQ(built[0].substr(0, 6), "<table");
    EXPECT_EQ(built[1], "<html>");
    summaryAnswer = OracleCast();
}

TEST_F(PageBuilder, MissingMarkersSkipOnlyTheirPart) {
    Lines page = hexagramPage(1, true);
    page[5] = "<p>no title class</p>";
    page[findLine(0, ">The Image<", page)] = "<p>image heading lost</p>";
    page[findLine(0, ">Fifth", page)] = "<p>fifth heading lost</p>";
    page.erase(page.begin() + findLine(0, "all comment", page));
    Lines built = build(page, 1, true);
    EXPECT_EQ(findLine(0, "start", built), -1);
    EXPECT_EQ(findLine(0, "&#x5929;", built), -1); // the image's table
    EXPECT_EQ(findLine(0, "&#x7528;", built), -1); // the all-lines table
    EXPECT_EQ(findLine(0, "name=\"L5\"", built), -1);
    for (const char* anchor : {"L1", "L2", "L3", "L4", "L6"})
        EXPECT_GE(findLine(0, std::string("name=\"") + anchor + "\"", built), 0) << anchor;
    EXPECT_NE(built[findLine(0, "judgment comment", built) - 1].find("</table></div>"),
              std::string::npos);
    EXPECT_NE(built[findLine(0, "Top comment", built) - 1].find("&#x4E7E;"), std::string::npos);

    // A page with no markers at all comes through untouched.
    const Lines bare = {"<html>", "<p>nothing here</p>", "</html>"};
    EXPECT_EQ(build(bare, 2, true), bare);
}

TEST_F(PageBuilder, ItemsThatCannotFormARowAreLeftOut) {
    CharacterDictionary dictionary(splitLines(edText));
    Lines page = {"<p class=\"dicccomment\">c</p>"};
    insertCommentRows(dictionary, Lines{"lonely", "qian 1", " 2"}, page, 0);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_NE(page[0].find("<div class=\"chinocom\"><table>"), std::string::npos);
    EXPECT_NE(page[0].find("</table></div>"), std::string::npos);
    insertCommentRows(dictionary, Lines{"lonely"}, page, 0);
    insertCommentRows(dictionary, Lines{"qian 1"}, page, 5);
    EXPECT_EQ(page.size(), 2u);
    // An unknown key still gets its row.
    insertCommentRows(dictionary, Lines{"zz 9"}, page, 0);
    EXPECT_NE(page[0].find("<span class=tex3>NOT FOUND</span>"), std::string::npos);
}

TEST_F(PageBuilder, FailuresReachTheCaller) {
    writePage("05.htm", hexagramPage(5, false));
    loadPage(nullptr, "05.htm", sourceFolder, false, 5);
    EXPECT_EQ(messages, (Lines{"Failure: Viewer is nil."}));

    fs::remove(folder / "texto" / "yijing.txt");
    KeepingView view;
    EXPECT_THROW(loadPage(&view, "05.htm", sourceFolder, true, 5), EFOpenError);
    EXPECT_EQ(view.calls, 0);
}

TEST_F(PageBuilder, PagesFromTheArchive) {
    TArchiveWriter writer("NON", 0);
    writer.add("05.htm", "<html>\n<body>\n<p class=\"titulohexa\">05</p>\n</html>\n", 0, 0);
    std::ofstream(folder / "data1.hhz", std::ios::binary) << writer.bytes();
    KeepingView view;
    loadPage(&view, "05.HTM", 12, false, 5);
    EXPECT_EQ(view.lines.size(), 5u);
    EXPECT_EQ(view.lines[3], "<a name=\"start\"></a><p class=\"titulohexa\">05</p>");
    EXPECT_EQ(loadText("missing.htm", sourceArchive), "");
}

} // namespace
