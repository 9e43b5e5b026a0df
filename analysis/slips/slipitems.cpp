#include "analysis/slips/slipitems.h"

namespace analysis {

SlipItems presetItems(SlipPreset preset) {
    SlipItems items;
    if (preset == SlipPreset::Compulsory) {
        items.set(SlipItem::Grade, true);
        items.set(SlipItem::ClassMean, true);
    } else {
        for (SlipItem item :
             {SlipItem::Score, SlipItem::ClassRank, SlipItem::GradeRank, SlipItem::Change})
            items.set(item, true);
    }
    return items;
}

QString presetName(SlipPreset preset) {
    return preset == SlipPreset::Compulsory ? QStringLiteral("义务教育") : QStringLiteral("高中");
}

QString presetKey(SlipPreset preset) {
    return preset == SlipPreset::Compulsory ? QStringLiteral("compulsory")
                                            : QStringLiteral("senior");
}

std::optional<SlipPreset> presetFromKey(const QString &key) {
    for (SlipPreset preset : {SlipPreset::Compulsory, SlipPreset::Senior})
        if (key == presetKey(preset)) return preset;
    return std::nullopt;
}

QString slipItemKey(SlipItem item) {
    static const char *const keys[] = {"score", "grade",  "classRank", "gradeRank",
                                       "band",  "change", "classMean"};
    return QLatin1String(keys[int(item)]);
}

QString slipItemTitle(SlipItem item) {
    static const char16_t *const titles[] = {u"分数",   u"等级",   u"班级名次",  u"年级名次",
                                             u"名次段", u"比上次", u"班级平均分"};
    return QString::fromUtf16(titles[int(item)]);
}

std::optional<SlipItems> slipItemsFromKeys(const QString &keys) {
    SlipItems items;
    for (const QString &key : keys.split(u',')) {
        bool known = false;
        for (SlipItem item : AllSlipItems) {
            if (key.trimmed() != slipItemKey(item)) continue;
            if (items.has(item)) return std::nullopt;
            items.set(item, known = true);
        }
        if (!known) return std::nullopt;
    }
    return items;
}

} // namespace analysis
