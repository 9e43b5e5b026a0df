#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace analysis {

// What a slip may show per subject and total, each switched on or off.
enum class SlipItem { Score, Grade, ClassRank, GradeRank, Band, Change, ClassMean };
inline constexpr SlipItem AllSlipItems[] = {
    SlipItem::Score, SlipItem::Grade,  SlipItem::ClassRank, SlipItem::GradeRank,
    SlipItem::Band,  SlipItem::Change, SlipItem::ClassMean};

class SlipItems {
public:
    bool has(SlipItem item) const { return m_bits & bit(item); }
    void set(SlipItem item, bool on) { m_bits = on ? m_bits | bit(item) : m_bits & ~bit(item); }
    friend bool operator==(const SlipItems &, const SlipItems &) = default;

private:
    static unsigned bit(SlipItem item) { return 1u << unsigned(item); }
    unsigned m_bits = 0;
};

// 义务教育: grades and the class mean, no score and no rank; 高中: scores,
// ranks and the change since the last exam.
enum class SlipPreset { Compulsory, Senior };

SlipItems presetItems(SlipPreset preset);
QString presetName(SlipPreset preset); // 义务教育, 高中
QString presetKey(SlipPreset preset);  // compulsory, senior
std::optional<SlipPreset> presetFromKey(const QString &key);

QString slipItemKey(SlipItem item);   // score, grade, classRank, …
QString slipItemTitle(SlipItem item); // 分数, 等级, 班级名次, …
// A comma-separated list of keys; none when a key is unknown or repeated.
std::optional<SlipItems> slipItemsFromKeys(const QString &keys);

// What a run of slips shows and how it grades.
struct SlipOptions {
    SlipPreset preset = SlipPreset::Compulsory;
    SlipItems items = presetItems(SlipPreset::Compulsory);
    bool fiveGrades = false; // E below the low line
};

} // namespace analysis
