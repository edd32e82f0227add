// The HTTP GET: a whole body whatever its length or framing, the status code, and the bounds
// that stop a server that never answers, answers slowly, or never stops.
#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "platform/http/HttpGet.h"
#include "platform/wave/WaveTestSupport.h"
#include "support/CddbTestServer.h"

namespace vx::http {
namespace {

using vx::test::CddbTestServer;

struct Fixture {
  CddbTestServer server;
  QNetworkAccessManager* network = NewNetworkAccess(nullptr);
  HttpGet get{*network, QStringLiteral("Agent/1.0")};
  std::vector<HttpResult> finished;

  Fixture() {
    QObject::connect(&get, &HttpGet::Finished, [this](const HttpResult& r) { finished.push_back(r); });
  }
  ~Fixture() { delete network; }

  QUrl Url(const char* command) const {
    return QUrl(QStringLiteral("http://%1/~cddb/cddb.cgi?cmd=%2")
                    .arg(server.HostPort(), QLatin1String(command)));
  }
  // The one result of the transfer, waiting for it.
  HttpResult Result() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !finished.empty(); }, 20000));
    EXPECT_EQ(finished.size(), 1u);
    return finished.empty() ? HttpResult{} : finished.front();
  }
};

TEST(HttpGet, BodiesArriveWholeWhateverTheirLengthOrFraming) {
  // 255 bytes sit exactly on the old fixed read size; bodies without a length end with the
  // connection.
  for (const qsizetype length : {0, 1, 254, 255, 256, 100000}) {
    for (const bool contentLength : {true, false}) {
      SCOPED_TRACE(QStringLiteral("%1 bytes, length %2").arg(length).arg(contentLength).toStdString());
      Fixture f;
      QByteArray body(length, 'a');
      for (qsizetype i = 0; i < length; ++i) body[i] = static_cast<char>('a' + i % 26);
      f.server.SetVersionReply({200, body, contentLength});
      f.get.Start(f.Url("ver"));
      const HttpResult result = f.Result();
      EXPECT_TRUE(result.Ok());
      EXPECT_EQ(result.body, body);
      EXPECT_EQ(f.server.UserAgents(), QStringList{QStringLiteral("Agent/1.0")});
    }
  }
}

TEST(HttpGet, AStatusOtherThan200IsNotOk) {
  Fixture f;
  f.server.SetVersionReply({500, "oops", true});
  f.get.Start(f.Url("ver"));
  const HttpResult result = f.Result();
  EXPECT_EQ(result.status, 500);
  EXPECT_FALSE(result.Ok());
}

TEST(HttpGet, ServersThatNeverFinishAreCutOff) {
  struct Case {
    CddbTestServer::Behaviour behaviour;
    HttpLimits limits;
  };
  const Case cases[] = {
      {CddbTestServer::Behaviour::kSilent, {300, 30000, 1 << 20}},
      {CddbTestServer::Behaviour::kSlow, {5000, 600, 1 << 20}},
      {CddbTestServer::Behaviour::kEndless, {5000, 30000, 64 * 1024}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.behaviour));
    Fixture f;
    f.server.SetBehaviour(c.behaviour);
    f.server.SetVersionReply({200, QByteArray(400, 'v'), true});
    f.get.SetLimits(c.limits);
    f.get.Start(f.Url("ver"));
    const HttpResult result = f.Result();
    EXPECT_FALSE(result.Ok());
    EXPECT_FALSE(result.errorText.isEmpty());
    EXPECT_LE(result.body.size(), c.limits.maxBodyBytes);
    EXPECT_FALSE(f.get.IsRunning());
  }
}

TEST(HttpGet, AbortedOrReplacedTransfersReportNothing) {
  Fixture f;
  f.server.SetBehaviour(CddbTestServer::Behaviour::kSilent);
  f.get.Start(f.Url("ver"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.server.Requests().size() == 1; }, 10000));
  f.get.Start(f.Url("ver&second"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.server.Requests().size() == 2; }, 10000));
  f.get.Abort();
  EXPECT_FALSE(f.get.IsRunning());
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.server.OpenConnections() == 0; }, 10000));
  EXPECT_TRUE(f.finished.empty());
}

TEST(HttpGet, LoopbackServersAreReachedPastAConfiguredProxy) {
  wave::test::ScopedEnv proxy("http_proxy", "http://127.0.0.1:9/");
  Fixture f;
  f.server.SetVersionReply({200, "direct", true});
  f.get.Start(f.Url("ver"));
  EXPECT_EQ(f.Result().body, "direct");
}

}  // namespace
}  // namespace vx::http
