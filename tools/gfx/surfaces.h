#pragma once

#include <QColor>
#include <QImage>

// Base colour of the coin window's cloth; the coin frames stand on it.
QColor clothColour();

// A quiet cloth tile that repeats without seams.
QImage clothTile(int size);

// A pale linen surface for the stalk window.
QImage linenSurface(int width, int height);
