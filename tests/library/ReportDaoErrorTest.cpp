#include "library/ReportDaoError.h"

#include <gtest/gtest.h>

#include <new>

#include "library/GuardOperation.h"
#include "library/LibraryText.h"
#include "support/ScriptedUi.h"

namespace vx {
namespace {

using dao::DaoException;

TEST(ReportDaoError, TextFollowsTheErrorList) {
  const QString intro = QString::fromUtf8(text::kDaoErrorIntro);
  EXPECT_EQ(DaoErrorText(DaoException()), intro);
  EXPECT_EQ(DaoErrorText(DaoException({{3022, "DAO.Fields", "Duplicate key"},
                                       {3045, "DAO.Database", "In use"}})),
            QString::fromUtf8(text::kDaoInUse));
  for (long code : {3197L, 3343L, 3049L}) {
    EXPECT_EQ(DaoErrorText(DaoException({{code, "s", "d"}})),
              QString::fromUtf8(text::kDaoCorrupt));
  }
  EXPECT_EQ(DaoErrorText(DaoException({{3022, "DAO.Fields", "Duplicate key"},
                                       {19, "SQLite", "constraint failed"}})),
            intro + "Dao error: [3022] [DAO.Fields]\n[Duplicate key]\n" +
                "Dao error: [19] [SQLite]\n[constraint failed]\n");

  test::ScriptedUi ui;
  ReportDaoError(DaoException({{3045, "x", "y"}}));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Stop);
  EXPECT_EQ(ui.messages[0].text.toStdString(),
            "The database is being used by another program. Please exit the other program "
            "before continuing.");
}

TEST(GuardOperation, CatchesInTheFixedOrder) {
  test::ScriptedUi ui;
  EXPECT_TRUE(GuardOperation([] {}));
  EXPECT_FALSE(GuardOperation([] { throw DaoException({{3343, "s", "d"}}); }));
  EXPECT_FALSE(GuardOperation([] { throw std::bad_alloc(); }));
  EXPECT_FALSE(GuardOperation([] { throw 17; },
                              [](int code) { return QString("Failed with %1").arg(code); }));
  EXPECT_FALSE(GuardOperation([] { throw 17; }));
  EXPECT_FALSE(GuardOperation([] { throw std::runtime_error("x"); }));
  const std::vector<QString> expected = {
      QString::fromUtf8(text::kDaoCorrupt), QString::fromUtf8(text::kNoMemory),
      "Failed with 17", QString::fromUtf8(text::kUnexpectedError),
      QString::fromUtf8(text::kUnexpectedError)};
  EXPECT_EQ(ui.Texts(), expected);
  for (const auto& message : ui.messages) EXPECT_EQ(message.icon, MsgIcon::Stop);
}

}  // namespace
}  // namespace vx
