// The CDDB client: reading query and read replies, and whole lookups against the tests' own
// CDDB server, including servers that fail in every way a lookup can meet.
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "cd/CddbClient.h"
#include "cd/CddbReply.h"
#include "cd/CddbText.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/wave/WaveTestSupport.h"
#include "support/CddbTestServer.h"
#include "support/ScriptedUi.h"

namespace vx::cd {
namespace {

using vx::test::CddbTestServer;

TEST(CddbReply, QueryRepliesGiveTheFirstUsableMatch) {
  const auto exact = ParseQueryReply("200 rock 0c01ac02 Some Artist / Some Album\r\n");
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->category, "rock");
  EXPECT_EQ(exact->discId, "0c01ac02");
  EXPECT_EQ(exact->artist, "Some Artist");
  EXPECT_EQ(exact->discTitle, "Some Album");
  EXPECT_EQ(CddbReadCommand(*exact, "dj+host"),
            "?cmd=cddb+read+rock+0c01ac02&hello=dj+host+Velumix+2.0&proto=4");

  for (const int code : {210, 211}) {
    const auto first = ParseQueryReply(CddbTestServer::Matches(
        code, {"jazz 0C01AC02 First / One", "rock 0c01ac03 Second / Two"}));
    ASSERT_TRUE(first) << code;
    EXPECT_EQ(first->category, "jazz");
    EXPECT_EQ(first->discId, "0c01ac02");
    EXPECT_EQ(first->title, "First / One");
  }

  const auto single = ParseQueryReply("200 misc 0c01ac02 Compilation\n");
  ASSERT_TRUE(single);
  EXPECT_EQ(single->artist, "Compilation");
  EXPECT_EQ(single->discTitle, "Compilation");

  // Protocol level 4 text is Latin-1.
  const auto latin = ParseQueryReply("200 rock 0c01ac02 Mot\xf6rhead / \xc9t\xe9\r\n");
  ASSERT_TRUE(latin);
  EXPECT_EQ(latin->artist, QString::fromUtf8("Mot\u00f6rhead"));
  EXPECT_EQ(latin->discTitle, QString::fromUtf8("\u00c9t\u00e9"));

  // No match, other codes, and lines that cannot name an entry to read.
  for (const QByteArray& reply :
       {QByteArray("202 No match found\r\n"), QByteArray("403 Database entry is corrupt\r\n"),
        QByteArray("500 Command syntax error\r\nrock 0c01ac02 X\r\n"), QByteArray("200"),
        QByteArray("200 rock\r\n"), QByteArray("200  0c01ac02 Title\r\n"),
        QByteArray("200 rock 0c01ac0 Title\r\n"), QByteArray("200 rock 0c01ac0g Title\r\n"),
        QByteArray("200 ../x 0c01ac02 Title\r\n"), QByteArray("211 Found\r\n.\r\n"),
        QByteArray("211 Found"), QByteArray(""), QByteArray("2000 rock 0c01ac02 T\r\n")}) {
    EXPECT_FALSE(ParseQueryReply(reply)) << reply.toStdString();
  }
}

TEST(CddbReply, ReadRepliesNameEachTrackByItsOwnKey) {
  // Track index 1 has no title, while index 10 has: a key is matched whole, at a line start.
  QStringList lines;
  for (int i = 0; i < 12; ++i) {
    if (i != 1) lines << QStringLiteral("TTITLE%1=Song %1").arg(i);
  }
  lines << "EXTT0=Live" << "EXTT10=Remix";
  const auto names = ParseReadReply(CddbTestServer::ReadReply("rock", "0c01ac02", lines), 12);
  ASSERT_TRUE(names);
  EXPECT_EQ(names->listEntries[0], "01 - Song 0");
  EXPECT_EQ(names->listEntries[1], "02 - Unknown Song");
  EXPECT_EQ(names->titles[1], "Track 2");
  EXPECT_EQ(names->listEntries[10], "11 - Song 10");
  EXPECT_EQ(names->titles[10], "Song 10");
  EXPECT_EQ(names->extendedData[0], "Live");
  EXPECT_EQ(names->extendedData[1], "");
  EXPECT_EQ(names->extendedData[10], "Remix");
  EXPECT_EQ(names->listEntries.size(), 12);

  // A long title split over two lines; LF line ends; a key only inside another line; an
  // empty title.
  const auto split = ParseReadReply(
      "210 rock 0c01ac02\nTTITLE0=A very long \nTTITLE0=title\n# TTITLE1=Not this\n"
      "TTITLE2=\nTTITLE3=\xc7" "a\n.\n",
      4);
  ASSERT_TRUE(split);
  EXPECT_EQ(split->titles, (QStringList{"A very long title", "Track 2", "Track 3", QString::fromUtf8("\u00c7a")}));

  // Escapes are undone once the value is whole, even when a split falls inside one.
  const auto escaped = ParseReadReply(
      "210 rock 0c01ac02\r\nTTITLE0=AC\\\\DC\r\nEXTT0=Recorded live\\\r\nEXTT0=nTake 2\\t(edit)\\x\r\n.\r\n", 1);
  ASSERT_TRUE(escaped);
  EXPECT_EQ(escaped->titles[0], "AC\\DC");
  EXPECT_EQ(escaped->extendedData[0], "Recorded live\nTake 2\t(edit)\\x");

  EXPECT_FALSE(ParseReadReply("401 rock 0c01ac02 No such CD entry in database.\r\n", 2));
  EXPECT_FALSE(ParseReadReply("", 2));

  const CddbTrackNames fallback = FallbackNames(2);
  EXPECT_EQ(fallback.listEntries, (QStringList{"01 - Unknown Song", "02 - Unknown Song"}));
  EXPECT_EQ(fallback.titles, (QStringList{"Track 1", "Track 2"}));
  EXPECT_EQ(fallback.extendedData, (QStringList{"", ""}));
}

// The two-track disc whose identifier is 0c01ac02.
CddbDiscScan TwoTrackDisc() {
  CddbToc toc;
  toc.startFrames = {150, 14280};
  toc.audio = {true, true};
  toc.lastLengthFrames = 4 * 60 * 75 + 10;
  return BuildDiscScan(toc, "dj@example.org");
}

// A client of the test server, with everything it shows recorded.
struct Lookup {
  CddbTestServer server;
  test::ScriptedUi ui;
  CddbClient client{CddbClient::Server{"127.0.0.1", server.Port(), "/~cddb/cddb.cgi",
                                       "dj@example.org"},
                    ui};
  QStringList status;
  QStringList album;
  std::vector<bool> finished;

  Lookup() {
    QObject::connect(&client, &CddbClient::StatusChanged, [this](const QString& s) { status << s; });
    QObject::connect(&client, &CddbClient::AlbumChanged, [this](const QString& s) { album << s; });
    QObject::connect(&client, &CddbClient::LookupFinished, [this](bool found) { finished.push_back(found); });
  }
  // Sets up the client, sends the query for the disc and waits for the lookup's end.
  void Run(CddbDiscScan disc = TwoTrackDisc()) {
    client.Setup(true);
    client.SetDisc(disc, true);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !finished.empty(); }, 20000));
  }
};

const QString kConnecting = "Connecting to CDDB Server: 127.0.0.1";
const QString kNoInformation = "Could not get CD information from CDDB database";

TEST(CddbClient, ALookupQueriesThenReadsTheMatch) {
  Lookup l;
  l.server.SetQueryReply(CddbTestServer::ExactMatch("rock", "0c01ac02", "Some Artist / Some Album"));
  l.server.SetReadReply(CddbTestServer::ReadReply(
      "rock", "0c01ac02", {"DTITLE=Some Artist / Some Album", "TTITLE0=Opener", "TTITLE1=Closer",
                           "EXTT1=Encore"}));
  l.Run();
  EXPECT_EQ(l.finished, std::vector<bool>{true});
  EXPECT_EQ(l.status, (QStringList{kConnecting,
                                   "Reading track information for Some Artist / Some Album...",
                                   "CDDB Query Complete."}));
  EXPECT_EQ(l.album.last(), "Some Artist / Some Album");
  EXPECT_EQ(l.client.ListEntries(), (QStringList{"01 - Opener", "02 - Closer"}));
  EXPECT_EQ(l.client.TrackTitles(), (QStringList{"Opener", "Closer"}));
  EXPECT_EQ(l.client.ExtendedData(), (QStringList{"", "Encore"}));
  EXPECT_EQ(l.client.Category(), "rock");
  EXPECT_EQ(l.client.Artist(), "Some Artist");
  EXPECT_EQ(l.client.DiscTitle(), "Some Album");
  EXPECT_EQ(l.client.DiscId(), 0x0c01ac02u);
  ASSERT_EQ(l.server.Requests().size(), 2);
  EXPECT_EQ(l.server.Requests()[0],
            "/~cddb/cddb.cgi?cmd=cddb+query+0c01ac02+2+150+14280+428"
            "&hello=dj+example.org+Velumix+2.0&proto=4");
  EXPECT_EQ(l.server.Requests()[1],
            "/~cddb/cddb.cgi?cmd=cddb+read+rock+0c01ac02&hello=dj+example.org+Velumix+2.0&proto=4");
  EXPECT_EQ(l.server.UserAgents(), (QStringList{"Velumix/2.0", "Velumix/2.0"}));
  EXPECT_TRUE(l.ui.messages.empty());
}

TEST(CddbClient, AListOfMatchesReadsTheFirst) {
  Lookup l;
  l.server.SetQueryReply(
      CddbTestServer::Matches(211, {"jazz 0c01ac02 First / One", "rock 0c01ac02 Second / Two"}));
  l.server.SetReadReply(CddbTestServer::ReadReply("jazz", "0c01ac02", {"TTITLE0=A", "TTITLE1=B"}));
  l.Run();
  EXPECT_EQ(l.finished, std::vector<bool>{true});
  ASSERT_EQ(l.server.Requests().size(), 2);
  EXPECT_TRUE(l.server.Requests()[1].startsWith("/~cddb/cddb.cgi?cmd=cddb+read+jazz+0c01ac02&"));
  EXPECT_EQ(l.client.Artist(), "First");
}

TEST(CddbClient, EveryFailureEndsInTheFallbackNames) {
  struct Case {
    const char* what;
    CddbTestServer::Reply query;
    CddbTestServer::Reply read;
    int requests;
  };
  const QByteArray match = CddbTestServer::ExactMatch("rock", "0c01ac02", "A / B");
  const Case cases[] = {
      {"no match", {200, "202 No match for disc ID 0c01ac02.\r\n"}, {}, 1},
      {"HTTP error", {500, match}, {}, 1},
      {"unexpected code", {200, "500 Unrecognized command.\r\n"}, {}, 1},
      {"short match line", {200, "200 rock\r\n"}, {}, 1},
      {"entry not found", {200, match}, {200, "401 rock 0c01ac02 No such CD entry in database.\r\n"}, 2},
      {"read HTTP error", {200, match}, {404, CddbTestServer::ReadReply("rock", "0c01ac02", {"TTITLE0=X"})}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Lookup l;
    l.server.SetQueryReply(c.query);
    l.server.SetReadReply(c.read);
    l.Run();
    EXPECT_EQ(l.finished, std::vector<bool>{false});
    EXPECT_EQ(l.status.last(), kNoInformation);
    EXPECT_EQ(l.album.last(), "");
    EXPECT_EQ(l.client.ListEntries(), (QStringList{"01 - Unknown Song", "02 - Unknown Song"}));
    EXPECT_EQ(l.client.TrackTitles(), (QStringList{"Track 1", "Track 2"}));
    EXPECT_EQ(l.server.Requests().size(), c.requests);
    EXPECT_TRUE(l.ui.messages.empty());
  }
}

TEST(CddbClient, ServersThatDoNotAnswerProperlyEndInTheFallbackNames) {
  for (const auto behaviour : {CddbTestServer::Behaviour::kSilent, CddbTestServer::Behaviour::kSlow,
                               CddbTestServer::Behaviour::kEndless}) {
    SCOPED_TRACE(static_cast<int>(behaviour));
    Lookup l;
    l.server.SetBehaviour(behaviour);
    l.server.SetQueryReply(CddbTestServer::ExactMatch("rock", "0c01ac02", QString(300, 'x')));
    l.client.SetLimits({300, 800, 32 * 1024});
    l.Run();
    EXPECT_EQ(l.finished, std::vector<bool>{false});
    EXPECT_EQ(l.status.last(), kNoInformation);
    EXPECT_EQ(l.client.ListEntries().size(), 2);
  }
}

TEST(CddbClient, ANewDiscAbortsTheRunningLookup) {
  Lookup l;
  l.server.SetBehaviour(CddbTestServer::Behaviour::kSilent);
  l.client.Setup(true);
  l.client.SetDisc(TwoTrackDisc(), true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return l.server.Requests().size() == 1; }, 10000));
  EXPECT_TRUE(l.client.IsBusy());

  CddbToc toc;
  toc.startFrames = {150, 900, 2000};
  toc.audio = {true, true, true};
  toc.lastLengthFrames = 3000;
  const CddbDiscScan second = BuildDiscScan(toc, "dj@example.org");
  l.server.SetBehaviour(CddbTestServer::Behaviour::kAnswer);
  l.server.SetQueryReply(CddbTestServer::ExactMatch("rock", "03000703", "New / Disc"));
  l.server.SetReadReply(CddbTestServer::ReadReply("rock", "03000703", {"TTITLE2=Third"}));
  l.client.SetDisc(second, true);
  // The new disc's names are offered at once, before any reply.
  EXPECT_EQ(l.client.ListEntries().size(), 3);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !l.finished.empty(); }, 20000));
  EXPECT_EQ(l.finished, std::vector<bool>{true});
  EXPECT_EQ(l.client.ListEntries(), (QStringList{"01 - Unknown Song", "02 - Unknown Song", "03 - Third"}));
  EXPECT_TRUE(l.server.Requests()[1].startsWith(
      QString::fromStdString("/~cddb/cddb.cgi?cmd=cddb+query+" + QString::asprintf("%08x", second.discId).toStdString())));
  EXPECT_TRUE(QTest::qWaitFor([&] { return l.server.OpenConnections() == 0; }, 10000));
}

TEST(CddbClient, WithoutCddbNothingIsAskedAndTheTracksAreNumbered) {
  Lookup l;
  l.client.Setup(false);
  l.client.SetDisc(TwoTrackDisc(), true);
  l.client.RequestVersion();
  QTest::qWait(100);
  EXPECT_FALSE(l.client.IsActive());
  EXPECT_TRUE(l.server.Requests().isEmpty());
  EXPECT_TRUE(l.status.isEmpty());
  EXPECT_EQ(l.client.ListEntries(), (QStringList{"01 - Unknown Song", "02 - Unknown Song"}));

  // Cleared during a lookup: the lookup stops and nothing more is reported.
  Lookup running;
  running.server.SetBehaviour(CddbTestServer::Behaviour::kSlow);
  running.server.SetQueryReply(CddbTestServer::ExactMatch("rock", "0c01ac02", "A / B"));
  running.client.Setup(true);
  running.client.SetDisc(TwoTrackDisc(), true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return running.server.Requests().size() == 1; }, 10000));
  running.client.Deactivate();
  const QStringList shown = running.status;
  QTest::qWait(300);
  EXPECT_EQ(running.status, shown);
  EXPECT_TRUE(running.finished.empty());
  EXPECT_FALSE(running.client.IsActive());
}

TEST(CddbClient, ADiscSetBeforeTheSetUpIsQueriedByIt) {
  Lookup l;
  l.client.SetDisc(TwoTrackDisc(), true);
  EXPECT_TRUE(l.server.Requests().isEmpty());
  l.client.Setup(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !l.finished.empty(); }, 20000));
  EXPECT_EQ(l.server.Requests().size(), 1);
}

TEST(CddbClient, ADiscWithNothingToAskForEndsAtOnce) {
  Lookup l;
  CddbDiscScan unreadable;
  unreadable.trackCount = 3;
  unreadable.audioTracks = {1, 2};
  l.Run(unreadable);
  EXPECT_EQ(l.finished, std::vector<bool>{false});
  EXPECT_EQ(l.status.last(), kNoInformation);
  EXPECT_TRUE(l.server.Requests().isEmpty());
  EXPECT_EQ(l.client.ListEntries().size(), 2);
}

TEST(CddbClient, TheVersionGoesToTheStatusLine) {
  Lookup l;
  l.client.Setup(true);
  l.client.RequestVersion();
  ASSERT_TRUE(QTest::qWaitFor([&] { return l.status.size() == 2; }, 20000));
  EXPECT_EQ(l.status[1], "200 Velumix test server v1.0");
  EXPECT_TRUE(l.server.Requests()[0].startsWith("/~cddb/cddb.cgi?cmd=ver&hello=dj+example.org+Velumix+2.0"));

  l.server.SetVersionReply({503, "busy", true});
  l.client.RequestVersion();
  ASSERT_TRUE(QTest::qWaitFor([&] { return l.status.size() == 3; }, 20000));
  EXPECT_EQ(l.status[2], "Error retreiving version from CDDB server.");
}

TEST(CddbClient, TheServerComesFromTheEnvironmentOrTheProfile) {
  CddbClient::Server server = CddbClient::ConfiguredServer();
  EXPECT_EQ(server.host, "gnudb.gnudb.org");
  EXPECT_EQ(server.port, 80);
  EXPECT_EQ(server.path, "/~cddb/cddb.cgi");

  ProfileSettings::Set(settings::kCddbServer, "cddb.example.org:8880");
  ProfileSettings::Set(settings::kCddbUser, "dj@club.example");
  server = CddbClient::ConfiguredServer();
  EXPECT_EQ(server.host, "cddb.example.org");
  EXPECT_EQ(server.port, 8880);
  EXPECT_EQ(server.user, "dj@club.example");

  {
    wave::test::ScopedEnv env("VELUMIX_CDDB_SERVER", "127.0.0.1:1234");
    server = CddbClient::ConfiguredServer();
    EXPECT_EQ(server.host, "127.0.0.1");
    EXPECT_EQ(server.port, 1234);
  }
  ProfileSettings::Set(settings::kCddbServer, "cddb.example.org:port");
  EXPECT_EQ(CddbClient::ConfiguredServer().host, "gnudb.gnudb.org");

  // A host no URL can carry: the set-up says so once and the dialog works on without CDDB.
  test::ScriptedUi ui;
  CddbClient client(CddbClient::Server{"bad host/name", 80, "/~cddb/cddb.cgi", "a@b"}, ui);
  client.Setup(true);
  EXPECT_FALSE(client.IsActive());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Error opening internet connection. Will not try to talk to CDDB database.");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
}

}  // namespace
}  // namespace vx::cd
