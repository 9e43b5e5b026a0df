#pragma once

namespace analysis {

// "及格" (pass) counts every score from the pass mark up; "合格" (qualified)
// is always the range from the pass mark up to but not including 75,
// whatever the band fields say.
constexpr int PassMark = 60;
constexpr int QualifiedEnd = 75;

} // namespace analysis
