#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "flow/question_set.h"
#include "flow/record_rules.h"

namespace solvari::web {

// The practice record of the browser edition: the very bytes a desktop Miradosh.rec holds
// (ProfileDocument, Shift-JIS, CR LF; addFinish's keys q, "H" + q, "M" + q + "." + code and
// DATE), so an exported record is read by the desktop and the teacher's checker unchanged.
//
// The page keeps the bytes in the browser's storage. Another tab of the drill may write there
// too, so a finish is kept as pending until the page has written it: every write applies the
// pending finishes to what storage holds at that moment (in the same storage transaction), and
// none is lost to the other tab's writes.
class RecordBook {
public:
    // One more finish, now in the shown record and pending for storage. Returns "" or why the
    // record refuses it (the record then stays as it was).
    std::string addFinish(const std::string& unitTitle, int question, bool afterHint, const RecordTime& when,
                          const MistakeTally& mistakes = {});

    // The record viewer's rows for the units of the set, by the desktop viewer's rules: each
    // title, its DATE when it has one, then "  " + q + one "★" per finish ("☆" after a hint).
    std::vector<std::string> listing(const QuestionSet& set) const;

    // What the student sees and exports: the stored bytes with the pending finishes applied.
    const std::string& bytes() const { return shown_; }
    // stored with every pending finish applied: what the page writes to storage.
    std::string withPending(const std::string& stored) const;
    std::size_t pendingCount() const { return pending_.size(); }
    // Storage now holds stored, which includes the first `written` pending finishes.
    void written(const std::string& stored, std::size_t written);
    // What storage holds now (read at start, or written by another tab); pending finishes stay.
    void adopt(const std::string& stored);
    // A record taken in by 記録を読み込む: it replaces everything, pending finishes included.
    void replace(const std::string& bytes);

    unsigned version() const { return version_; }

private:
    struct Pending {
        std::string title;
        int question = 0;
        Finish finish = Finish::Plain;
        RecordTime when;
        MistakeTally mistakes;
    };
    std::string stored_;
    std::string shown_;
    std::vector<Pending> pending_;
    unsigned version_ = 0;
    void show();
};

// Why bytes are not a record this drill can take in ("" when they are one): larger than a
// record file may be, not Shift-JIS (CP932), or lines that are neither a section header, a
// key=value entry inside a section, nor a ';' comment (the class summary's rule), or no unit.
std::string recordProblem(const std::string& bytes);

// Local time now, to the minute (in the browser, the browser's time zone).
RecordTime recordTimeNow();

}  // namespace solvari::web
