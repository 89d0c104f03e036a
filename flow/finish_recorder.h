#pragma once
#include <functional>
#include <map>
#include <string>

#include "flow/file_io.h"

namespace solvari {

// How a question was finished: a finish after a hint is also counted under "H" + q.
enum class Finish { Plain, AfterHint };

// The wrong lines the student wrote on a question (自分で計算する), by mistake code.
using MistakeTally = std::map<std::string, int>;

// Where the drill sends the finish of a question. The desktop writes it into the record file;
// another front end keeps it in its own storage. recordFinish returns at once; done is told of the
// outcome later, on the thread that sent the finish, once for each attempt (a write that failed
// and got through on a later try is told twice: the failure, then the success).
class FinishRecorder {
public:
    virtual ~FinishRecorder() = default;
    using Done = std::function<void(const FileResult&)>;
    virtual void recordFinish(const std::string& unitTitle, int question, Finish finish, Done done,
                              const MistakeTally& mistakes = {}) = 0;
};

}  // namespace solvari
