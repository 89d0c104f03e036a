#pragma once
#include <string>

#include "flow/answer_sheet.h"
#include "flow/file_io.h"

namespace solvari {

// Draws a sheet into a PDF (A4, the equations typeset as on the page, as text, so the PDF
// can be searched and copied from) and writes it atomically. Needs a QGuiApplication with
// the font substitutions installed; the offscreen platform will do. A failure's error is
// the message to show.
FileResult writeSheetPdf(const std::string& path, const SheetLayout& layout);

// The PDF's bytes alone (benchmarks, tests).
std::string sheetPdfBytes(const SheetLayout& layout);

}  // namespace solvari
