// The drawing file ".grh": the document's SaveToStream and LoadFromStream
// (in Document.h) and the two calls that put them on disk. A file is written
// complete or not at all; a file that cannot be read leaves the document as
// it was.
#pragma once

#include "document/Document.h"

#include <string>
#include <string_view>

namespace arv {

// Size of the fixed header of a drawing file.
constexpr size_t kDrawingHeaderSize = 204;

// Writes the drawing with the network data text; false (errorText set) when
// the file could not be written, and then nothing was written.
bool WriteDrawingFile(TGCollFigure& doc, std::string_view fileName,
                      std::string_view networkDataText, std::string* errorText = nullptr);
// Reads a drawing file into the document: 0 loaded, -1 refused or unreadable.
int32_t ReadDrawingFile(TGCollFigure& doc, std::string_view fileName,
                        std::string* networkDataText = nullptr);

} // namespace arv
