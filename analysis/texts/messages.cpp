#include "analysis/texts/messages.h"

namespace analysis::messages {

QString unknownImportError(int number) {
    const QString digits = number < 0 ? QString::number(number) : u' ' + QString::number(number);
    return QStringLiteral("未知错误，错误号：") + digits + QStringLiteral("　请检查输入值！");
}

QString scoreOutOfRange(int gridRow) {
    return QStringLiteral("第%1行的成绩数值超界，请修改为-32768到32767之间的数值！").arg(gridRow);
}

QString scoreLineInvalid(const QString &lineName) {
    return QStringLiteral("%1输入有误，请输入0到满分之间的分数，或0%到100%之间的满分比例"
                          "（最多两位小数）！")
        .arg(lineName);
}

QString exportNameInvalid(const QString &path) {
    return QStringLiteral("导出文件名须以.xlsx、.csv或.pdf结尾：%1").arg(path);
}

QString exportIsDirectory(const QString &path) {
    return QStringLiteral("导出路径是一个文件夹，请给出文件名：%1").arg(path);
}

QString exportIsSourceWorkbook(const QString &path) {
    return QStringLiteral("导出文件不能覆盖正在读取的工作簿：%1").arg(path);
}

QString exportCannotWrite(const QString &path) {
    return QStringLiteral("无法写入导出文件，请检查文件夹是否存在、是否允许写入：%1").arg(path);
}

QString exportDiskFull(const QString &path) {
    return QStringLiteral("磁盘已满，无法写入导出文件，请腾出空间后再试：%1").arg(path);
}

QString exportNameTooLong(const QString &path) {
    return QStringLiteral("导出文件名过长，请换一个短一些的文件名：%1").arg(path);
}

QString exportNotAFile(const QString &path) {
    return QStringLiteral("导出路径不是普通文件（如命名管道），不能写入：%1").arg(path);
}

} // namespace analysis::messages
