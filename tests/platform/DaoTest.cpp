#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoRecordset.h"
#include "support/TestFolder.h"

namespace vx::dao {
namespace {

class Item : public DaoRecordset {
 public:
  using DaoRecordset::DaoRecordset;
  std::int32_t Id = 0;
  std::string Name;
  double Bpm = 0;
  std::int16_t Track = 0;
  DaoDateTime Added;

  std::string GetDefaultSQL() const override { return "Items"; }

 protected:
  void DoFieldExchange(FieldExchange& fx) override {
    fx.Long("Id", Id);
    fx.Text("Name", Name);
    fx.Double("Bpm", Bpm);
    fx.Short("Track", Track);
    fx.DateTime("Added", Added);
  }
};

class DaoTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = test::TestFolder() + "/items.db";
    db_.Open(path_, OpenMode::Create);
    db_.Execute("PRAGMA journal_mode=WAL");
    db_.Execute(
        "CREATE TABLE Items (Id INTEGER, Name TEXT COLLATE NOCASE, Bpm REAL, Track INTEGER, "
        "Added TEXT)");
    for (int i = 1; i <= 5; ++i) {
      db_.Execute("INSERT INTO Items VALUES (" + std::to_string(i) + ", 'Song " +
                  std::to_string(i) + "', " + std::to_string(100 + i) + ", " +
                  std::to_string(i) + ", '2000-02-0" + std::to_string(i) + " 10:00:00')");
    }
  }

  long Count(const std::string& where = "") {
    DaoRecordset count(db_);
    count.Open(OpenType::Snapshot, "SELECT count(*) FROM Items " + where);
    return static_cast<long>(std::get<std::int64_t>(count.GetFieldValue(0)));
  }

  std::string path_;
  DaoDatabase db_;
};

TEST_F(DaoTest, FilterSortMoveAndFind) {
  Item items(db_);
  items.SetFilter("Bpm > 102");
  items.SetSort("Id DESC");
  items.Open();
  std::vector<int> ids;
  for (; !items.IsEOF(); items.MoveNext()) ids.push_back(items.Id);
  EXPECT_EQ(ids, (std::vector<int>{5, 4, 3}));

  ASSERT_TRUE(items.FindFirst("Name = 'SONG 4'"));  // equality ignores case
  EXPECT_EQ(items.Id, 4);
  EXPECT_EQ(items.Track, 4);
  EXPECT_DOUBLE_EQ(items.Bpm, 104);
  EXPECT_EQ(items.Added, (DaoDateTime{2000, 2, 4, 10, 0, 0}));
  EXPECT_FALSE(items.FindFirst("Id = 1"));  // outside the filter
  EXPECT_EQ(items.Id, 4);                   // and the position is kept
  items.MoveNext();
  EXPECT_EQ(items.Id, 3);

  items.MoveFirst();
  EXPECT_EQ(items.Id, 5);
  EXPECT_THROW(
      {
        while (true) items.MoveNext();
      },
      DaoException);
}

TEST_F(DaoTest, AddEditDeleteWriteThrough) {
  {
    Item items(db_);
    items.Open();
    items.AddNew();
    EXPECT_EQ(items.Name, "");  // AddNew clears the bound fields
    items.Id = 9;
    items.Name = "O'Brien";
    items.Bpm = 120.5;
    items.Update();

    ASSERT_TRUE(items.FindFirst("Id = 2"));
    items.Edit();
    items.Name = "Changed";
    items.Update();

    ASSERT_TRUE(items.FindFirst("Id = 3"));
    items.Delete();
    EXPECT_THROW(items.Edit(), DaoException);  // the deleted row is no longer current
  }
  EXPECT_EQ(Count(), 5);
  EXPECT_EQ(Count("WHERE Name = 'O''Brien' AND Bpm = 120.5 AND Added IS NULL"), 1);
  EXPECT_EQ(Count("WHERE Id = 2 AND Name = 'Changed' AND Track = 2"), 1);
  EXPECT_EQ(Count("WHERE Id = 3"), 0);
}

TEST_F(DaoTest, SelectStarQueriesStayWritableOthersDoNot) {
  Item items(db_);
  items.Open(OpenType::Dynaset, "SELECT * FROM Items WHERE Id >= 4 ORDER BY Id; ");
  ASSERT_FALSE(items.IsEOF());
  EXPECT_EQ(items.Id, 4);
  items.Edit();
  items.Name = "Four";
  items.Update();
  EXPECT_EQ(Count("WHERE Name = 'Four'"), 1);

  Item snapshot(db_);
  snapshot.Open(OpenType::Snapshot);
  try {
    snapshot.Edit();
    FAIL() << "a snapshot must not be editable";
  } catch (const DaoException& e) {
    EXPECT_EQ(e.Errors().at(0).code, kErrNotUpdatable);
  }

  DaoRecordset joined(db_);
  joined.Open(OpenType::Dynaset, "SELECT Name, Bpm FROM Items WHERE Id = 1");
  EXPECT_FALSE(joined.CanUpdate());
  EXPECT_EQ(joined.GetFieldCount(), 2);
  EXPECT_EQ(std::get<std::string>(joined.GetFieldValue(0)), "Song 1");
  EXPECT_DOUBLE_EQ(std::get<double>(joined.GetFieldValue(1)), 101);
  EXPECT_THROW(joined.GetFieldValue(2), DaoException);
}

// The code of the DaoException that work throws, or 0 when it throws none.
long ErrorCode(const std::function<void()>& work) {
  try {
    work();
  } catch (const DaoException& e) {
    return e.Errors().empty() ? -1 : e.Errors().front().code;
  }
  return 0;
}

TEST_F(DaoTest, DenyWriteKeepsOthersFromChangingTheTableUntilClosed) {
  Item holder(db_);
  holder.SetFilter("Track <= 2");
  holder.Open(OpenType::Dynaset, {}, kDenyWrite);
  ASSERT_FALSE(holder.IsEOF());

  // Every other way of changing Items is refused; reading and other tables are not.
  Item other(db_);
  other.Open();
  EXPECT_EQ(ErrorCode([&] {
              other.Edit();
              other.Name = "sneaky";
              other.Update();
            }),
            kErrTableLocked);
  other.CancelUpdate();
  EXPECT_EQ(ErrorCode([&] { other.Delete(); }), kErrTableLocked);
  EXPECT_EQ(ErrorCode([&] { db_.Execute("INSERT INTO Items (Id) VALUES (6)"); }),
            kErrTableLocked);
  EXPECT_EQ(ErrorCode([&] { db_.Execute("update items set Bpm = 0"); }), kErrTableLocked);
  EXPECT_EQ(ErrorCode([&] { Item second(db_); second.Open(OpenType::Dynaset, {}, kDenyWrite); }),
            kErrTableLocked);
  EXPECT_EQ(ErrorCode([&] { db_.Execute("CREATE TABLE Other (x); INSERT INTO Other VALUES (1)"); }),
            0);
  EXPECT_EQ(Count(), 5);

  // The holder itself still writes, and its row set still moves.
  holder.Edit();
  holder.Name = "Mine";
  holder.Update();
  holder.MoveNext();
  EXPECT_EQ(holder.Id, 2);
  EXPECT_EQ(Count("WHERE Name = 'Mine'"), 1);

  holder.Close();
  EXPECT_EQ(ErrorCode([&] { db_.Execute("DELETE FROM Items WHERE Id = 5"); }), 0);
  EXPECT_EQ(Count(), 4);
}

TEST_F(DaoTest, VeryLongSelectStarStatementsOpen) {
  // A search text of this length used to take the statement parser down with it.
  const std::string pattern(100000, 'X');
  Item items(db_);
  items.Open(OpenType::Dynaset, "select   *  from Items where Name like '*" + pattern + "*' ;");
  EXPECT_TRUE(items.IsEOF());
  EXPECT_TRUE(items.CanUpdate());

  DaoRecordset plain(db_);
  plain.Open(OpenType::Snapshot, "SELECT Name FROM Items WHERE Name <> '" + pattern + "'");
  EXPECT_FALSE(plain.IsEOF());

  // Only the one-table form writes back: an alias or a second table makes a plain query.
  Item aliased(db_);
  aliased.Open(OpenType::Dynaset, "SELECT * FROM Items i WHERE i.Id = 2");
  EXPECT_FALSE(aliased.CanUpdate());
  EXPECT_EQ(aliased.Id, 2);
  Item joined(db_);
  joined.Open(OpenType::Dynaset, "SELECT * FROM Items JOIN Items AS b USING (Id) WHERE Id = 3");
  EXPECT_FALSE(joined.CanUpdate());
}

TEST_F(DaoTest, DynasetTakesItsRowsWhenItOpens) {
  // Walking an index and raising each row's key moves the row ahead of the walk; the
  // dynaset must still visit each row once.
  db_.Execute("CREATE INDEX ItemsBpm ON Items (Bpm)");
  Item items(db_);
  items.SetFilter("Bpm > 102");
  items.SetSort("Bpm");
  items.Open();
  std::vector<int> visited;
  for (; !items.IsEOF() && visited.size() < 20; items.MoveNext()) {
    visited.push_back(items.Id);
    items.Edit();
    items.Bpm += 1000;
    items.Update();
    EXPECT_DOUBLE_EQ(std::get<double>(items.GetFieldValue(2)), items.Bpm);
  }
  EXPECT_EQ(visited, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Count("WHERE Bpm > 1000"), 3);

  // Rows deleted behind the dynaset's back are skipped, rows added by others stay out, rows
  // changed by others show their new values, and rows it adds itself join at the end.
  Item walk(db_);
  walk.SetSort("Id");
  walk.Open();
  ASSERT_EQ(walk.Id, 1);
  db_.Execute("DELETE FROM Items WHERE Id = 2");
  db_.Execute("UPDATE Items SET Name = 'Renamed' WHERE Id = 3");
  db_.Execute("INSERT INTO Items (Id, Name) VALUES (0, 'Newcomer')");
  walk.AddNew();
  walk.Id = 42;
  walk.Update();
  std::vector<std::string> names;
  for (walk.MoveFirst(); !walk.IsEOF(); walk.MoveNext()) names.push_back(walk.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Song 1", "Renamed", "Song 4", "Song 5", ""}));
  ASSERT_TRUE(walk.FindFirst("Name = 'Renamed'"));
  EXPECT_EQ(walk.Id, 3);
  EXPECT_FALSE(walk.FindFirst("Id = 0"));  // not a member of the set

  // Changing a row's id (an INTEGER PRIMARY KEY is the row id) keeps it the current row.
  db_.Execute("CREATE TABLE Keyed (Id INTEGER PRIMARY KEY, Name TEXT, Bpm REAL, Track INTEGER, "
              "Added TEXT)");
  db_.Execute("INSERT INTO Keyed (Id, Name) VALUES (1, 'One'), (2, 'Two'), (3, 'Three')");
  Item keyed(db_);
  keyed.Open(OpenType::Dynaset, "SELECT * FROM Keyed ORDER BY Id");
  keyed.Edit();
  keyed.Id = 50;
  keyed.Update();
  EXPECT_EQ(keyed.Id, 50);
  EXPECT_EQ(keyed.Name, "One");
  keyed.MoveNext();
  EXPECT_EQ(keyed.Name, "Two");
  Item renumbered(db_);
  renumbered.Open(OpenType::Snapshot, "SELECT * FROM Keyed WHERE Id = 50");
  EXPECT_EQ(renumbered.Name, "One");

  // A row deleted by another statement between Edit and Update is not written silently.
  keyed.Edit();
  db_.Execute("DELETE FROM Keyed WHERE Id = 2");
  try {
    keyed.Update();
    ADD_FAILURE() << "an update of a deleted row must fail";
  } catch (const DaoException& e) {
    EXPECT_EQ(e.Errors().at(0).code, kErrRecordDeleted);
  }
  keyed.MoveNext();
  EXPECT_EQ(keyed.Name, "Three");
}

TEST_F(DaoTest, FailedTransactionRollsBackCompletely) {
  db_.BeginTrans();
  db_.Execute("DELETE FROM Items WHERE Id = 1");
  {
    Item items(db_);
    items.Open();
    items.Edit();
    items.Name = "inside";
    items.Update();
  }
  EXPECT_THROW(db_.Execute("DELETE FROM NoSuchTable"), DaoException);
  db_.Rollback();
  EXPECT_FALSE(db_.InTransaction());
  EXPECT_EQ(Count(), 5);
  EXPECT_EQ(Count("WHERE Name = 'inside'"), 0);
  EXPECT_NO_THROW(db_.Rollback());  // nothing open: nothing to do
}

TEST_F(DaoTest, LikeUsesWildcardsOnEveryConnection) {
  DaoDatabase other;
  other.Open(path_, OpenMode::ReadOnly);
  DaoRecordset count(other);
  count.Open(OpenType::Snapshot, "SELECT count(*) FROM Items WHERE Name like '*ONG [2-4]'");
  EXPECT_EQ(std::get<std::int64_t>(count.GetFieldValue(0)), 3);
}

TEST_F(DaoTest, BusyAndCorruptMapToTheEngineCodes) {
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE; INSERT INTO Items (Id) VALUES (77)", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  db_.SetBusyTimeout(50);
  try {
    db_.Execute("INSERT INTO Items (Id) VALUES (78)");
    ADD_FAILURE() << "the write must fail while another connection holds the lock";
  } catch (const DaoException& e) {
    EXPECT_EQ(e.Errors().at(0).code, kErrInUse);
  }
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);

  const std::string junk = test::TestFolder() + "/junk.vxl";
  std::ofstream(junk) << std::string(4096, 'x');
  DaoDatabase broken;
  try {
    broken.Open(junk);
    ADD_FAILURE() << "a file that is not a database must not open";
  } catch (const DaoException& e) {
    EXPECT_EQ(e.Errors().at(0).code, kErrCorrupt);
    EXPECT_EQ(e.Errors().at(0).source, "SQLite");
  }
  EXPECT_FALSE(broken.IsOpen());
}

TEST_F(DaoTest, AConnectionWithoutTheWildcardLikeDoesNotOpen) {
  class NoLikeDatabase : public DaoDatabase {
   protected:
    int RegisterFunctions(sqlite3*) override { return SQLITE_NOMEM; }
  };
  NoLikeDatabase db;
  try {
    db.Open(path_);
    ADD_FAILURE() << "a connection whose '*' searches would find nothing must not open";
  } catch (const DaoException& e) {
    EXPECT_EQ(e.Errors().at(0).code, kErrUndefinedFunction);
    EXPECT_NE(e.Errors().at(0).description.find("like"), std::string::npos);
  }
  EXPECT_FALSE(db.IsOpen());
}

TEST(DaoDateTime, IsoTextRoundTripsAndRejectsJunk) {
  const DaoDateTime date{1999, 12, 31, 23, 59, 58};
  EXPECT_EQ(date.ToIso(), "1999-12-31 23:59:58");
  EXPECT_EQ(DaoDateTime::FromIso(date.ToIso()), date);
  EXPECT_EQ(DaoDateTime::FromIso("2001-02-03"), (DaoDateTime{2001, 2, 3, 0, 0, 0}));
  EXPECT_TRUE(DaoDateTime::FromIso("next tuesday").IsNull());
  EXPECT_TRUE(DaoDateTime::FromIso("2001-13-03").IsNull());
  EXPECT_EQ(DaoDateTime{}.ToIso(), "");
}

}  // namespace
}  // namespace vx::dao
