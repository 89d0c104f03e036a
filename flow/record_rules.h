#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "flow/finish_recorder.h"
#include "flow/question_set.h"
#include "flow/settings_document.h"

namespace solvari {

// The practice record's content, the same whoever keeps it (a file on the desktop, the browser's
// storage): one section per unit title, under q the finishes of question q, under "H" + q those
// reached after a hint, under "M" + q + "." + code the wrong lines the student wrote on it by
// mistake code (自分で計算する; a reader that does not know them passes them by), and "DATE" of
// the unit's latest finish.

constexpr const char* RECORD_FILE_NAME = "Miradosh.rec";
// A record file holds one short section per unit; a file this large is not one of ours, and
// it is neither parsed nor overwritten.
constexpr std::size_t MAX_RECORD_FILE_BYTES = 16 * 1024 * 1024;

// A local date and time to the minute, as the record keeps it.
struct RecordTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
};

// "2024年05月03日09:05": the year in full, the rest with two digits, hours 0..23.
std::string formatRecordDate(const RecordTime& when);

// A stored count as addFinish reads it: decimal, or hexadecimal after "0x"/"0X"; anything
// else (empty, damaged, negative, too large) is 0.
int parseRecordCount(std::string_view text);

// One more final verdict on question q of the unit titled title: its count + 1 and "DATE"
// (and, after a hint, "H" + q + 1). The count under q keeps counting every finish, so a record
// reads the same to a program without hints. Returns "" or why the record refuses it; the
// document may then be part changed and is to be dropped.
std::string addFinish(ProfileDocument& record, const std::string& title, int q, const RecordTime& when, Finish finish,
                      const MistakeTally& mistakes = {});
// Where the wrong lines of question q with a mistake code are counted.
std::string mistakeKey(int q, const std::string& code);

// The count as the record viewer shows it: a missing key is 0; a value that is not a decimal
// integer is nullopt (the viewer then shows no stars for that question).
std::optional<int> readCount(const ProfileDocument& record, const std::string& title, int q);
std::optional<int> readCount(const ProfileIndex& record, const std::string& title, int q);
// The finishes of question q reached after a hint ("H" + q), read like readCount.
std::optional<int> readHintCount(const ProfileDocument& record, const std::string& title, int q);
std::optional<int> readHintCount(const ProfileIndex& record, const std::string& title, int q);
// The wrong lines kept for question q with a mistake code, read like readCount.
std::optional<int> readMistakeCount(const ProfileIndex& record, const std::string& title, int q, const std::string& code);
std::optional<int> readMistakeCount(const ProfileDocument& record, const std::string& title, int q, const std::string& code);

// A count larger than this is not a real number of finishes (a hand-edited or foreign file);
// its row shows this many stars so that one bad value cannot build a row of gigabytes.
constexpr int MAX_LISTED_STARS = 1000;

// The rows of the record viewer for the units of the question set in use, in their order: for
// each unit (stopping at the first empty title, at most 20) its title, its "DATE" when that is not
// empty, then "  " + q + one "★" per finish ("☆" for one after a hint) for every question q.
// Sections of units that are not in the set are never listed; a count that is not a decimal
// integer shows no stars and the listing goes on.
std::vector<std::string> recordRows(const ProfileIndex& record, const QuestionSet& set);

// A name a student entered, as the base name of a record file: blanks around it (full-width
// ones too) removed; "" when it cannot name one (empty, longer than 30 characters, a path or a
// hidden name, characters Windows shares refuse, or the shared record's own name).
std::string studentRecordName(const std::string& entered);

}  // namespace solvari
