#include "analysis/layout/headerwords.h"

#include <initializer_list>

namespace analysis {

namespace {

// A header cell is a word or two; a longer text is a title or a remark.
constexpr qsizetype LongestHeader = 20;

bool isBlank(QChar c) {
    return c.isSpace() || c == u'\u3000' || c == u'\u00a0' || c == u'\u200b';
}

// The text compared with the words: full-width forms and the ideographic
// space folded by compatibility normalisation, no spaces at all, lower case.
QString wordKey(const QString &text) {
    const QString folded = text.normalized(QString::NormalizationForm_KC).toLower();
    QString key;
    key.reserve(folded.size());
    for (const QChar c : folded)
        if (!isBlank(c)) key.append(c);
    return key;
}

bool containsAny(const QString &key, std::initializer_list<const char16_t *> words) {
    for (const char16_t *word : words)
        if (key.contains(QStringView(word))) return true;
    return false;
}

bool equalsAny(const QString &key, std::initializer_list<const char16_t *> words) {
    for (const char16_t *word : words)
        if (key == QStringView(word)) return true;
    return false;
}

// Subjects by their names and the short forms teachers write; a one-letter
// short form only alone, since the letter is part of many other words.
bool namesSubject(const QString &key) {
    return containsAny(key,
                       {u"语文",     u"数学",       u"英语", u"外语", u"物理", u"化学", u"生物",
                        u"政治",     u"道德与法治", u"道法", u"历史", u"地理", u"科学", u"信息技术",
                        u"通用技术", u"音乐",       u"体育", u"美术", u"综合", u"信息", u"信技",
                        u"通技",     u"理综",       u"文综", u"思品", u"品德", u"日语", u"俄语"}) ||
           equalsAny(key, {u"语", u"数", u"英", u"外", u"物", u"化", u"生", u"政", u"史", u"地",
                           u"科", u"音", u"体", u"美"});
}

// The column of a long table that names each row's subject; a course's
// code, kind or credit (课程号, 课程性质, 学分) is no subject, and a score
// under a course word ("课程成绩") is a score.
bool namesCourse(const QString &key) {
    return containsAny(key, {u"科目", u"课程", u"学科"}) &&
           !containsAny(key, {u"成绩", u"分数", u"得分", u"号", u"代码", u"编码", u"性质", u"类别",
                              u"类型", u"属性", u"学分", u"学时"});
}

} // namespace

QString blankedText(const QString &text) {
    QString blanked;
    blanked.reserve(text.size());
    bool space = false;
    for (const QChar c : text) {
        if (isBlank(c)) {
            space = !blanked.isEmpty();
            continue;
        }
        if (space) blanked.append(u' ');
        space = false;
        blanked.append(c);
    }
    return blanked;
}

HeaderKind headerKind(const QString &text) {
    const QString key = wordKey(text);
    if (key.isEmpty() || key.size() > LongestHeader || key.contains(u':') || key.endsWith(u'表'))
        return HeaderKind::None;
    if (containsAny(key, {u"名次", u"排名", u"排序", u"位次"}))
        return namesSubject(key) ? HeaderKind::None : HeaderKind::Rank;
    if (containsAny(key, {u"等级", u"等第"})) return HeaderKind::None;
    if (containsAny(key, {u"总分", u"总成绩"})) return HeaderKind::Total;
    if (containsAny(key, {u"学号", u"考号", u"准考证号", u"学籍号", u"编号", u"考生号"}))
        return HeaderKind::Number;
    if (containsAny(key, {u"姓名", u"名字"})) return HeaderKind::Name;
    if (containsAny(key, {u"班级", u"班别"}) || key == u"班") return HeaderKind::Class;
    if (namesSubject(key)) return HeaderKind::Subject;
    if (namesCourse(key)) return HeaderKind::Course;
    if (containsAny(key, {u"评语", u"寄语"})) return HeaderKind::Remark;
    if (containsAny(key, {u"成绩", u"分数", u"得分"}) || key == u"分") return HeaderKind::Score;
    return HeaderKind::None;
}

bool isFooterText(const QString &text) {
    const QString key = wordKey(text);
    if (containsAny(key, {u"平均", u"合计", u"总计", u"最高", u"最低", u"制表", u"审核", u"备注"}))
        return true;
    for (const char *word : {"average", "total", "sum", "count", "std"})
        if (key.startsWith(QLatin1String(word))) return true;
    return false;
}

} // namespace analysis
