#pragma once
#include <string>
#include <vector>

#include "flow/question_set.h"
#include "flow/record_file.h"

namespace solvari {

// The rows of the record viewer for the units of the question set in use, in their order:
// for each unit (stopping at the first empty title, at most 20) its title, its "DATE" when
// that is not empty, then "  " + q + one "★" per finish for every question q. Sections of units
// that are not in the set are never listed. A missing file lists every unit without dates or
// stars; a count that is not a decimal integer shows no stars and the listing goes on. A file
// that exists but cannot be read lists two rows instead: path + " を読み込めません" and why.
std::vector<std::string> recordListing(const RecordFile& file, const QuestionSet& set);

// The titles of the units that have a record (a "DATE" that is not empty), in unit order. Two
// units with the same title share one section and are both listed.
std::vector<std::string> deletableUnits(const RecordFile& file, const QuestionSet& set);

}  // namespace solvari
