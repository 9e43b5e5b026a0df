#include "analysis/messages.h"

namespace analysis::messages {

QString unknownImportError(int number) {
    const QString digits = number < 0 ? QString::number(number) : u' ' + QString::number(number);
    return QStringLiteral("未知错误，错误号：") + digits + QStringLiteral("　请检查输入值！");
}

QString scoreOutOfRange(int gridRow) {
    return QStringLiteral("第%1行的成绩数值超界，请修改为-32768到32767之间的数值！").arg(gridRow);
}

} // namespace analysis::messages
