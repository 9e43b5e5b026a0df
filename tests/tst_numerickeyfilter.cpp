#include "analysis/numerickey.h"
#include "app/numerickeyfilter.h"

#include <QLineEdit>
#include <QTest>

class TestNumericKeyFilter : public QObject {
    Q_OBJECT
private slots:
    void routine_data();
    void routine();
    void keyPresses_data();
    void keyPresses();
    void secondFullStopPasses();
    void keysThatTypeNothingStillWork();
    void programTextIsNotFiltered();
};

void TestNumericKeyFilter::routine_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("passes");
    QTest::newRow("digit 0") << 48 << true;
    QTest::newRow("digit 7") << 55 << true;
    QTest::newRow("digit 9") << 57 << true;
    QTest::newRow("backspace") << 8 << true;
    QTest::newRow("full stop") << 46 << true;
    QTest::newRow("slash below digits") << 47 << false;
    QTest::newRow("colon above digits") << 58 << false;
    QTest::newRow("minus") << 45 << false;
    QTest::newRow("comma") << 44 << false;
    QTest::newRow("space") << 32 << false;
    QTest::newRow("letter a") << 97 << false;
    QTest::newRow("enter") << 13 << false;
    QTest::newRow("escape") << 27 << false;
    QTest::newRow("copy") << 3 << false;
    QTest::newRow("paste") << 22 << false;
    QTest::newRow("cut") << 24 << false;
    QTest::newRow("double-byte") << 0x4E2D << false;
    QTest::newRow("negative") << -20000 << false;
}

void TestNumericKeyFilter::routine() {
    QFETCH(int, code);
    QFETCH(bool, passes);
    std::int16_t value = static_cast<std::int16_t>(code);
    analysis::FilterNumericKey(value);
    QCOMPARE(int(value), passes ? code : 0);
}

void TestNumericKeyFilter::keyPresses_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("typed");
    QTest::newRow("7") << int(Qt::Key_7) << "7" << 0 << true;
    QTest::newRow("full stop") << int(Qt::Key_Period) << "." << 0 << true;
    QTest::newRow("a") << int(Qt::Key_A) << "a" << 0 << false;
    QTest::newRow("minus") << int(Qt::Key_Minus) << "-" << 0 << false;
    QTest::newRow("comma") << int(Qt::Key_Comma) << "," << 0 << false;
    QTest::newRow("slash") << int(Qt::Key_Slash) << "/" << 0 << false;
    QTest::newRow("colon") << int(Qt::Key_Colon) << ":" << 0 << false;
    QTest::newRow("space") << int(Qt::Key_Space) << " " << 0 << false;
    QTest::newRow("chinese") << 0 << QStringLiteral("中") << 0 << false;
    QTest::newRow("full-width digit") << 0 << QStringLiteral("７") << 0 << false;
}

void TestNumericKeyFilter::keyPresses() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(bool, typed);
    QLineEdit field(QStringLiteral("1"));
    NumericKeyFilter::install(&field);
    field.end(false);
    QTest::sendKeyEvent(QTest::Press, &field, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(field.text(), typed ? QStringLiteral("1") + text : QStringLiteral("1"));
}

void TestNumericKeyFilter::secondFullStopPasses() {
    QLineEdit field;
    NumericKeyFilter::install(&field);
    QTest::keyClicks(&field, "8.5.1");
    QCOMPARE(field.text(), QString("8.5.1"));
    QTest::keyClick(&field, Qt::Key_Backspace);
    QCOMPARE(field.text(), QString("8.5."));
}

void TestNumericKeyFilter::keysThatTypeNothingStillWork() {
    QLineEdit field(QStringLiteral("123"));
    NumericKeyFilter::install(&field);
    field.setCursorPosition(0);
    QTest::keyClick(&field, Qt::Key_Delete);
    QCOMPARE(field.text(), QString("23"));
    QTest::keyClick(&field, Qt::Key_End);
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Backspace);
    QCOMPARE(field.text(), QString("3"));
    // Enter, Escape and the clipboard keys are dropped like any other code.
    QTest::keyClick(&field, Qt::Key_Return);
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(field.text(), QString("3"));
}

void TestNumericKeyFilter::programTextIsNotFiltered() {
    QLineEdit field;
    NumericKeyFilter::install(&field);
    field.setText(QStringLiteral("abc"));
    field.insert(QStringLiteral("-1"));
    QCOMPARE(field.text(), QString("abc-1"));
}

QTEST_MAIN(TestNumericKeyFilter)
#include "tst_numerickeyfilter.moc"
