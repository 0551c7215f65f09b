// Text helpers of the HTML view: zooming the sizes written in style sheets and
// inline styles, and taking the linked style sheets out of a page.
#pragma once

#include <QString>
#include <QStringList>

// Multiplies every pt/px font-size and line-height (also inside the `font`
// shorthand) by zoom/100. Font sizes in pt keep their fraction; pixel sizes and
// line heights become whole pixels, halves going to the even neighbour.
// Relative sizes (em, %, bare factors, keywords) already follow the zoomed font.
QString zoomStyleText(const QString& css, int zoom);

// Applies zoomStyleText to every style="..." attribute and <style> element.
QString zoomInlineStyles(const QString& html, int zoom);

// Removes every <link rel="stylesheet" href="..."> element from html and
// returns the hrefs in page order (with or without a type attribute).
QStringList takeStyleSheetLinks(QString& html);

// Rounds to the nearest integer, halves to the even neighbour.
int roundHalfEven(double v);
