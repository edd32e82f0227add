// Which outputs the decks get and which input the recorder opens, on device lists as the
// sound library gives them on machines of several kinds.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>

#include "platform/settings/ProfileSettings.h"
#include "platform/wave/DeviceOrder.h"

namespace vx::wave {
namespace {

WaveCaps Alsa(const std::string& name, std::uint32_t formats = kAllStandardFormats) {
  return WaveCaps{name, formats, 2, kAlsaHostApi};
}
WaveCaps Jack(const std::string& name) { return WaveCaps{name, kAllStandardFormats, 2, kJackHostApi}; }
WaveCaps Virtual(int n) {
  return WaveCaps{"Virtual Output " + std::to_string(n), kAllStandardFormats, 2, kVirtualHostApi};
}

std::vector<std::string> Names(const std::vector<WaveCaps>& devices,
                               const std::vector<std::size_t>& ids) {
  std::vector<std::string> names;
  for (std::size_t id : ids) names.push_back(devices[id].name);
  return names;
}

// The outputs a walk gives two decks when every deck starts.
std::vector<std::pair<std::string, ChannelRoute>> TwoDecks(const std::vector<WaveCaps>& devices,
                                                           const std::vector<std::string>& named,
                                                           bool split = false) {
  DeckOutputWalk walk(devices, named, split);
  std::vector<std::pair<std::string, ChannelRoute>> decks;
  while (decks.size() < 2) {
    const auto output = walk.Next();
    if (!output) break;
    decks.emplace_back(devices[output->device].name, output->route);
    walk.Started();
  }
  return decks;
}

constexpr auto kAll = ChannelRoute::kAll;

// One free card with several devices and its other ALSA names, no sound server: the card
// once, by hardware name; "default" would be that same card, so it is not offered.
const std::vector<WaveCaps> kFreeCard = {
    Alsa("HDA Intel PCH: ALC892 Analog (hw:0,0)"), Alsa("HDA Intel PCH: ALC892 Digital (hw:0,1)"),
    Alsa("HDA Intel PCH: HDMI 0 (hw:0,3)"),       Alsa("sysdefault"),
    Alsa("front"),                                Alsa("surround40"),
    Alsa("dmix"),                                 Alsa("default")};

// A desktop whose card a sound server holds: the card is busy and not listed.
const std::vector<WaveCaps> kServerDesktop = {Alsa("lavrate"), Alsa("pulse"), Alsa("pipewire"),
                                              Alsa("speex"), Alsa("default")};

TEST(DeviceOrderTest, AutomaticOrderOnFreeCardsServersAndNoCards) {
  EXPECT_EQ(Names(kFreeCard, OutputOrder(kFreeCard, {})),
            (std::vector<std::string>{"HDA Intel PCH: ALC892 Analog (hw:0,0)"}));
  EXPECT_EQ(TwoDecks(kFreeCard, {}).size(), 1u);

  // Two streams of the server, mixed by it; "default" comes after the server's names.
  EXPECT_EQ(Names(kServerDesktop, OutputOrder(kServerDesktop, {})),
            (std::vector<std::string>{"pipewire", "pulse", "default"}));
  EXPECT_EQ(TwoDecks(kServerDesktop, {}),
            (std::vector<std::pair<std::string, ChannelRoute>>{{"pipewire", kAll},
                                                                {"pulse", kAll}}));

  // Three cards (one of them with two devices) beside a running JACK server: one deck per
  // card, in card order; the server's devices and "default" follow.
  const std::vector<WaveCaps> threeCards = {
      Alsa("HDA Intel PCH: ALC892 Analog (hw:0,0)"), Alsa("HDA Intel PCH: HDMI 0 (hw:0,3)"),
      Alsa("USB Audio CODEC: - (hw:1,0)"),          Alsa("Xonar: Multichannel (hw:2,0)"),
      Alsa("default"),                              Jack("system")};
  EXPECT_EQ(Names(threeCards, OutputOrder(threeCards, {})),
            (std::vector<std::string>{"HDA Intel PCH: ALC892 Analog (hw:0,0)",
                                      "USB Audio CODEC: - (hw:1,0)",
                                      "Xonar: Multichannel (hw:2,0)", "system", "default"}));
  EXPECT_EQ(TwoDecks(threeCards, {})[1].first, "USB Audio CODEC: - (hw:1,0)");

  // No card, no server: only the virtual outputs, in their order; nothing at all without.
  const std::vector<WaveCaps> none = {Virtual(1), Virtual(2), Virtual(3)};
  EXPECT_EQ(OutputOrder(none, {}), (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_TRUE(TwoDecks({}, {}).empty());

  // The input order is the same; a named input comes first.
  EXPECT_EQ(InputOrder(kServerDesktop, "speex"), (std::vector<std::size_t>{3, 2, 1, 4}));
}

// The DJ names which card is deck 1 and which deck 2, may put both decks on one output, and
// may leave a deck to the automatic order; unknown names fall away.
TEST(DeviceOrderTest, NamedOutputsComeFirstAndMayRepeat) {
  const std::vector<WaveCaps> twoCards = {Alsa("HDA Intel PCH: ALC892 Analog (hw:0,0)"),
                                          Alsa("USB Audio CODEC: - (hw:1,0)"), Alsa("front"),
                                          Alsa("my_dmix")};
  const std::string onboard = twoCards[0].name;
  const std::string usb = twoCards[1].name;
  EXPECT_EQ(Names(twoCards, OutputOrder(twoCards, {usb, onboard})),
            (std::vector<std::string>{usb, onboard}));
  EXPECT_EQ(Names(twoCards, OutputOrder(twoCards, {"my_dmix"})),
            (std::vector<std::string>{"my_dmix", onboard, usb}));
  EXPECT_EQ(Names(twoCards, OutputOrder(twoCards, {usb, usb})),
            (std::vector<std::string>{usb, usb, onboard}));
  EXPECT_EQ(Names(twoCards, OutputOrder(twoCards, {"", onboard})),
            (std::vector<std::string>{usb, onboard}));
  EXPECT_EQ(Names(twoCards, OutputOrder(twoCards, {"unplugged", "", "front"})),
            (std::vector<std::string>{onboard, "front", usb}));

  // A named output that cannot play 44.1 kHz 16-bit stereo is passed over.
  std::vector<WaveCaps> monoOnly = twoCards;
  monoOnly[3].formats = k44kMono16;
  EXPECT_EQ(TwoDecks(monoOnly, {"my_dmix"})[0].first, onboard);
}

TEST(DeviceOrderTest, NamesSplitAtCommasOutsideParentheses) {
  EXPECT_EQ(ParseDeviceNames(" HDA Intel PCH: ALC892 Analog (hw:0,0) , pulse,,default "),
            (std::vector<std::string>{"HDA Intel PCH: ALC892 Analog (hw:0,0)", "pulse", "",
                                      "default"}));
  EXPECT_TRUE(ParseDeviceNames("  ").empty());
  EXPECT_EQ(ParseDeviceNames(","), (std::vector<std::string>{"", ""}));
  const std::vector<std::string> names{"", "USB Audio CODEC: - (hw:1,0)"};
  EXPECT_EQ(ParseDeviceNames(JoinDeviceNames(names)), names);
}

// The settings as a person writes them in the settings file: a list with commas and no
// quotes reads back whole.
TEST(DeviceOrderTest, ChoicesAreReadFromTheSettings) {
  EXPECT_TRUE(DeviceChoices::Read().outputs.empty());
  EXPECT_FALSE(DeviceChoices::Read().split);
  {
    QSettings store(QStringLiteral("QFL"), QStringLiteral("Velumix"));
    store.setValue(QStringLiteral("Player/Outputs"),
                   QStringList{"HDA Intel PCH: ALC892 Analog (hw:0", "0)", " pulse"});
    store.setValue(QStringLiteral("Player/SplitOutput"), 1);
    store.setValue(QStringLiteral("Recorder/Input"), QStringLiteral(" deckB "));
  }
  const DeviceChoices choices = DeviceChoices::Read();
  EXPECT_EQ(choices.outputs,
            (std::vector<std::string>{"HDA Intel PCH: ALC892 Analog (hw:0,0)", "pulse"}));
  EXPECT_TRUE(choices.split);
  EXPECT_EQ(choices.input, "deckB");
}

// Split mode: the first output that starts deck 1 plays it on the left and deck 2 on the
// right; a deck that fails gives its place to the next output.
TEST(DeviceOrderTest, WalkGivesFailedPlacesOnAndSplitsOneOutput) {
  const std::vector<WaveCaps> outputs = {Virtual(1), Virtual(2), Virtual(3)};
  DeckOutputWalk plain(outputs, {}, false);
  EXPECT_EQ(plain.Next(), (DeckOutput{0, kAll}));
  plain.Failed();
  EXPECT_EQ(plain.Next(), (DeckOutput{1, kAll}));
  plain.Started();
  EXPECT_EQ(plain.Next(), (DeckOutput{2, kAll}));
  plain.Started();
  EXPECT_FALSE(plain.Next());

  DeckOutputWalk split(outputs, {}, true);
  EXPECT_EQ(split.Next(), (DeckOutput{0, ChannelRoute::kLeft}));
  split.Failed();
  EXPECT_EQ(split.Next(), (DeckOutput{1, ChannelRoute::kLeft}));
  split.Started();
  EXPECT_EQ(split.Next(), (DeckOutput{1, ChannelRoute::kRight}));
  split.Failed();
  EXPECT_FALSE(split.Next());  // no other output is used in split mode
}

}  // namespace
}  // namespace vx::wave
