#include "cli/settingsoption.h"

#include <utility>

namespace report {

QString *settingsOption(const QString &name, analysis::AnalysisSettingsTexts &settings) {
    const std::pair<const char *, QString *> fields[] = {
        {"--full-marks", &settings.fullMarks}, {"--excellent-line", &settings.excellentLine},
        {"--good-line", &settings.goodLine},   {"--pass-line", &settings.passLine},
        {"--low-line", &settings.lowLine},     {"--band-width", &settings.bandWidth},
        {"--ranking", &settings.ranking}};
    for (const auto &[option, field] : fields)
        if (name == QLatin1String(option)) return field;
    return nullptr;
}

} // namespace report
