// Content access: where every page, picture and text source comes from.
// Pages, style sheets and coin pictures are members of data1.hhz; the text
// sources and the stalk background are plain files in texto/. Both lie in
// the program folder, the folder of the executable.
#pragma once

#include "archive/stream.h"

#include <string>

class TCompress;

// contentSource values: 1 = the folder texto/, anything else = data1.hhz.
enum : int { sourceFolder = 1, sourceArchive = 2 };

// The executable's folder with a trailing '/'. Found once from /proc/self/exe.
const std::string& programFolder();
// Used by tests and tools to point the program at another folder.
void setProgramFolder(const std::string& folder);
// programFolder() + "data1.hhz"
std::string archivePath();
// programFolder() + "texto/" + name
std::string textoPath(const std::string& name);

// The shared reader, created on first use, freed when the main window closes.
extern TCompress* archiveReader;
void createArchiveReader();
void freeArchiveReader();

// Expands every member called name (ASCII letters compared without case)
// into stream, from its current position. A missing member writes nothing.
void loadArchiveMember(const std::string& archive, TStream& stream, const std::string& name);

// Reads name from texto/ (source 1) or from data1.hhz (any other source).
// Errors are not caught: a missing file raises EFOpenError.
std::string loadContent(const std::string& name, int source);

// Turns the scrambled literal stored in the program back into plain text.
std::string unscrambleText(const std::string& scrambled);
// The key of data1.hhz, built from the scrambled literal.
int32_t programKey();
