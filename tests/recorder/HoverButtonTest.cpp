#include "recorder/CHoverButton.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vx {
namespace {

bool SendMove(QWidget* widget) {
  const QPointF at(3, 3);
  QMouseEvent move(QEvent::MouseMove, at, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  move.setAccepted(false);
  QCoreApplication::sendEvent(widget, &move);
  return move.isAccepted();
}

TEST(HoverButton, ShowsItsHintWhileHoveredAndLeavesHidingToTheOwner) {
  QWidget owner;
  auto* hint = new QLabel("hint", &owner);
  auto* button = new CHoverButton("&Go", &owner);
  button->Link(hint);
  EXPECT_TRUE(hint->isHidden());
  QSignalSpy hovered(button, &CHoverButton::Hovered);

  const QPointF at(3, 3);
  QEnterEvent enter(at, at, at);
  QCoreApplication::sendEvent(button, &enter);
  EXPECT_FALSE(hint->isHidden());
  EXPECT_EQ(hovered.count(), 1);

  hint->hide();  // the owner's job
  EXPECT_TRUE(SendMove(button));  // consumed, so the owner does not hide it again at once
  EXPECT_FALSE(hint->isHidden());

  hint->hide();
  button->setEnabled(false);
  EXPECT_TRUE(SendMove(button));
  EXPECT_FALSE(hint->isHidden());
}

TEST(HoverButton, WithoutAHintItIsAPlainButton) {
  QWidget owner;
  auto* button = new CHoverButton("&Go", &owner);
  QSignalSpy hovered(button, &CHoverButton::Hovered);
  QSignalSpy clicked(button, &QPushButton::clicked);
  const QPointF at(3, 3);
  QEnterEvent enter(at, at, at);
  QCoreApplication::sendEvent(button, &enter);
  SendMove(button);
  EXPECT_FALSE(button->hasMouseTracking());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_EQ(hovered.count(), 0);
}

}  // namespace
}  // namespace vx
