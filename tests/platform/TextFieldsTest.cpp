#include "platform/ui/TextFields.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace vx {
namespace {

// Types any text as key presses (QTest's key clicks know only ASCII).
void TypeText(QWidget* field, const QString& text) {
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(field, &release);
  }
}

TEST(TextFields, TypedTextTurnsIntoCapitalsAndStopsAtTheLimit) {
  QLineEdit field;
  SetTextRule(field, {true, 10});
  QTest::keyClicks(&field, QStringLiteral("rock and roll"));
  EXPECT_EQ(field.text(), QStringLiteral("ROCK AND R"));  // the 11th key is refused

  // A key typed in the middle of a full field is refused, not the last character dropped.
  field.setCursorPosition(2);
  QTest::keyClicks(&field, QStringLiteral("x"));
  EXPECT_EQ(field.text(), QStringLiteral("ROCK AND R"));
  field.backspace();
  QTest::keyClicks(&field, QStringLiteral("x"));
  EXPECT_EQ(field.text(), QStringLiteral("RXCK AND R"));
}

TEST(TextFields, TheLimitCountsCharactersNotBytesOrUnits) {
  QLineEdit field;
  SetTextRule(field, {true, 10});
  // Twelve letters of two UTF-8 bytes each: ten fit.
  TypeText(&field, QString::fromUtf8("äöüéèàçñåøæß"));
  EXPECT_EQ(field.text(), QString::fromUtf8("ÄÖÜÉÈÀÇÑÅØ"));

  // Characters outside the basic plane take two UTF-16 units and still count as one.
  QLineEdit wide;
  SetTextRule(wide, {false, 3});
  wide.insert(QString::fromUtf8("\U0001D11E\U0001D11Eab"));
  EXPECT_EQ(wide.text(), QString::fromUtf8("\U0001D11E\U0001D11Ea"));
  EXPECT_EQ(CharacterCount(wide.text()), 3);
  EXPECT_EQ(LeftCharacters(QString::fromUtf8("\U0001D11Ex"), 1), QString::fromUtf8("\U0001D11E"));
}

TEST(TextFields, PastedTextIsCutToWhatStillFitsAndProgramTextIsKeptWhole) {
  QLineEdit field;
  SetTextRule(field, {true, 8});
  field.setText(QStringLiteral("ab"));  // set by the program: in capitals
  EXPECT_EQ(field.text(), QStringLiteral("AB"));
  field.end(false);
  field.insert(QStringLiteral("cdefghijkl"));  // a paste
  EXPECT_EQ(field.text(), QStringLiteral("ABCDEFGH"));
  EXPECT_EQ(field.cursorPosition(), 8);

  // A stored text longer than the limit is shown and kept until the person edits it.
  field.setText(QStringLiteral("a stored title"));
  EXPECT_EQ(field.text(), QStringLiteral("A STORED TITLE"));
  field.end(false);
  QTest::keyClicks(&field, QStringLiteral("x"));
  EXPECT_EQ(field.text(), QStringLiteral("A STORED TITLE"));
}

TEST(TextFields, MultiLineFieldsFollowTheSameRule) {
  QPlainTextEdit field;
  SetTextRule(field, {true, 12});
  field.setFocus();
  QTest::keyClicks(&field, QStringLiteral("first"));
  QTest::keyClick(&field, Qt::Key_Return);
  QTest::keyClicks(&field, QStringLiteral("second line"));
  EXPECT_EQ(field.toPlainText(), QStringLiteral("FIRST\nSECOND"));
  field.insertPlainText(QStringLiteral("more"));
  EXPECT_EQ(field.toPlainText(), QStringLiteral("FIRST\nSECOND"));

  QPlainTextEdit plain;
  SetTextRule(plain, {false, 255});
  plain.insertPlainText(QString(300, QLatin1Char('d')));
  EXPECT_EQ(plain.toPlainText(), QString(255, QLatin1Char('d')));
}

}  // namespace
}  // namespace vx
