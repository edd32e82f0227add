// A CDDB lookup as the CD dialog runs it: the query and the read of a 12-track disc against
// the tests' own CDDB server on the loopback interface, from sending the query to the track
// names being in place (goal: at most 100 ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "cd/CddbClient.h"
#include "support/CddbTestServer.h"
#include "support/ScriptedUi.h"

namespace {

vx::cd::CddbDiscScan TwelveTrackDisc() {
  vx::cd::CddbToc toc;
  for (int t = 0; t < 12; ++t) {
    toc.startFrames.push_back(150 + t * 75L * 240);
    toc.audio.push_back(true);
  }
  toc.lastLengthFrames = 75L * 250;
  return vx::cd::BuildDiscScan(toc, "dj@example.org");
}

void BM_CddbLookup(benchmark::State& state) {
  const vx::cd::CddbDiscScan disc = TwelveTrackDisc();
  const QString id = QString::asprintf("%08x", disc.discId);
  vx::test::CddbTestServer server;
  server.SetQueryReply(vx::test::CddbTestServer::ExactMatch("rock", id, "Bench Artist / Bench Album"));
  QStringList lines;
  for (int t = 0; t < 12; ++t) lines << QStringLiteral("TTITLE%1=Song number %1").arg(t);
  server.SetReadReply(vx::test::CddbTestServer::ReadReply("rock", id, lines));

  vx::test::ScriptedUi ui;
  vx::cd::CddbClient client({"127.0.0.1", server.Port(), "/~cddb/cddb.cgi", "dj@example.org"}, ui);
  client.Setup(true);
  bool found = false;
  QEventLoop loop;
  QObject::connect(&client, &vx::cd::CddbClient::LookupFinished, [&](bool ok) {
    found = ok;
    loop.quit();
  });
  for (auto _ : state) {
    client.SetDisc(disc, true);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!found) {
      state.SkipWithError("the lookup failed");
      break;
    }
  }
}
BENCHMARK(BM_CddbLookup)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
