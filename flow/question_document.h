#pragma once
#include <string>
#include <vector>

#include "flow/file_io.h"
#include "flow/question_set.h"

namespace solvari {

// The question set in use: its text lines, where they came from, and the set parsed from them.
// The loader fills it, the editor changes its lines, the saver writes them, the drill practises
// its set; nothing else keeps a copy.
struct QuestionDocument {
    std::vector<std::string> lines;  // one entry a line, without line ends
    std::string path;
    // The bytes the lines of the last file read had: an untouched line is saved with them.
    OriginalLineBytes lineBytes;
    bool readAsUtf8 = false;  // until the set is saved (in Shift-JIS) or replaced
    bool saved = true;
    QuestionSet set;  // parsed from lines when they were read or accepted in the editor
};

}  // namespace solvari
