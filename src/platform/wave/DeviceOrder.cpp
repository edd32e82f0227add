#include "platform/wave/DeviceOrder.h"

#include <algorithm>
#include <cctype>

#include "platform/settings/ProfileSettings.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::wave {
namespace {

constexpr std::string_view kCardMark = "(hw:";

std::string Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return std::string(text);
}

// "hw:N" of a card's device name.
std::string CardOf(const std::string& name) {
  const std::size_t mark = name.find(kCardMark);
  const std::size_t begin = mark + 1;
  const std::size_t end = name.find_first_of(",)", begin);
  return name.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// Rank of a sound server's device or "default" within group 3.
int ServerRank(const WaveCaps& caps) {
  if (caps.name == "pipewire") return 0;
  if (caps.name == "pulse") return 1;
  if (ClassifyDevice(caps) == DeviceKind::kSoundServer) return 2;  // JACK
  return 3;                                                         // default
}

// Groups 2 to 4 of the order.
std::vector<std::size_t> AutomaticOrder(const std::vector<WaveCaps>& devices) {
  std::vector<std::size_t> order;
  std::vector<std::string> cards;
  for (std::size_t id = 0; id < devices.size(); ++id) {
    if (ClassifyDevice(devices[id]) != DeviceKind::kCard) continue;
    const std::string card = CardOf(devices[id].name);
    if (std::find(cards.begin(), cards.end(), card) != cards.end()) continue;
    cards.push_back(card);
    order.push_back(id);
  }
  // Without a sound server, "default" plays on the first card through a software mixer
  // that cannot open the card while a deck holds it: it is offered only when no card is.
  const bool anyServer = std::any_of(devices.begin(), devices.end(), [](const WaveCaps& caps) {
    return ClassifyDevice(caps) == DeviceKind::kSoundServer;
  });
  std::vector<std::size_t> servers;
  for (std::size_t id = 0; id < devices.size(); ++id) {
    const DeviceKind kind = ClassifyDevice(devices[id]);
    if (kind == DeviceKind::kSoundServer ||
        (kind == DeviceKind::kDefault && (anyServer || cards.empty()))) {
      servers.push_back(id);
    }
  }
  std::stable_sort(servers.begin(), servers.end(), [&](std::size_t a, std::size_t b) {
    return ServerRank(devices[a]) < ServerRank(devices[b]);
  });
  order.insert(order.end(), servers.begin(), servers.end());
  for (std::size_t id = 0; id < devices.size(); ++id) {
    if (ClassifyDevice(devices[id]) == DeviceKind::kVirtual) order.push_back(id);
  }
  return order;
}

bool Contains(const std::vector<std::size_t>& ids, std::size_t id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

DeviceKind ClassifyDevice(const WaveCaps& caps) {
  if (caps.hostApi == kVirtualHostApi) return DeviceKind::kVirtual;
  if (caps.hostApi == kJackHostApi) return DeviceKind::kSoundServer;
  if (caps.name.find(kCardMark) != std::string::npos) return DeviceKind::kCard;
  if (caps.name == "pipewire" || caps.name == "pulse" || caps.name == "jack") {
    return DeviceKind::kSoundServer;
  }
  if (caps.name == "default") return DeviceKind::kDefault;
  return DeviceKind::kOther;
}

std::vector<std::string> ParseDeviceNames(std::string_view text) {
  std::vector<std::string> names;
  if (Trimmed(text).empty()) return names;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ',';
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      names.push_back(Trimmed(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  return names;
}

std::string JoinDeviceNames(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += ",";
    text += names[i];
  }
  return text;
}

std::vector<std::size_t> OutputOrder(const std::vector<WaveCaps>& outputs,
                                     const std::vector<std::string>& named) {
  const std::vector<std::size_t> automatic = AutomaticOrder(outputs);
  // The named devices; an empty name is a place for the automatic order, filled below
  // with devices no name chose.
  std::vector<std::optional<std::size_t>> places;
  std::vector<std::size_t> chosen;
  for (const std::string& name : named) {
    if (name.empty()) {
      places.emplace_back();
      continue;
    }
    const auto match = std::find_if(outputs.begin(), outputs.end(),
                                     [&](const WaveCaps& caps) { return caps.name == name; });
    if (match == outputs.end()) continue;
    const auto id = static_cast<std::size_t>(match - outputs.begin());
    places.emplace_back(id);
    chosen.push_back(id);
  }
  std::vector<std::size_t> order;
  auto unused = automatic.begin();
  for (const auto& place : places) {
    if (place) {
      order.push_back(*place);
      continue;
    }
    unused = std::find_if(unused, automatic.end(),
                          [&](std::size_t id) { return !Contains(chosen, id); });
    if (unused == automatic.end()) continue;
    order.push_back(*unused);
    chosen.push_back(*unused++);
  }
  for (std::size_t id : automatic) {
    if (!Contains(order, id)) order.push_back(id);
  }
  return order;
}

std::vector<std::size_t> InputOrder(const std::vector<WaveCaps>& inputs,
                                    const std::string& named) {
  return OutputOrder(inputs, named.empty() ? std::vector<std::string>{}
                                           : std::vector<std::string>{named});
}

// ------------------------------------------------------------------ DeckOutputWalk

DeckOutputWalk::DeckOutputWalk(const std::vector<WaveCaps>& outputs,
                               const std::vector<std::string>& named, bool split)
    : split_(split) {
  for (std::size_t id : OutputOrder(outputs, named)) {
    if (outputs[id].Offers44k16Stereo()) candidates_.push_back(id);
  }
}

std::optional<DeckOutput> DeckOutputWalk::Next() {
  if (split_ && splitDevice_) {
    if (splitDone_) return std::nullopt;
    return DeckOutput{*splitDevice_, ChannelRoute::kRight};
  }
  if (next_ >= candidates_.size()) return std::nullopt;
  return DeckOutput{candidates_[next_],
                    split_ ? ChannelRoute::kLeft : ChannelRoute::kAll};
}

void DeckOutputWalk::Started() {
  if (split_ && splitDevice_) {
    splitDone_ = true;
  } else if (split_) {
    splitDevice_ = candidates_[next_];
  } else {
    ++next_;
  }
}

void DeckOutputWalk::Failed() {
  if (split_ && splitDevice_) {
    splitDone_ = true;
  } else {
    ++next_;
  }
}

// ------------------------------------------------------------------ settings and lists

DeviceChoices DeviceChoices::Read() {
  DeviceChoices choices;
  choices.outputs = ParseDeviceNames(ProfileSettings::Get(settings::kPlayerOutputs).toStdString());
  choices.split = ProfileSettings::Get(settings::kSplitOutput) == 1;
  choices.input = Trimmed(ProfileSettings::Get(settings::kRecorderInput).toStdString());
  return choices;
}

std::vector<WaveCaps> OutputCapsOf(const WaveDeviceList& devices) {
  std::vector<WaveCaps> caps(devices.OutputCount());
  for (std::size_t id = 0; id < caps.size(); ++id) devices.OutputCaps(id, caps[id]);
  return caps;
}

std::vector<WaveCaps> InputCapsOf(const WaveDeviceList& devices) {
  std::vector<WaveCaps> caps(devices.InputCount());
  for (std::size_t id = 0; id < caps.size(); ++id) devices.InputCaps(id, caps[id]);
  return caps;
}

std::optional<std::size_t> RecorderInput(const WaveDeviceList& devices) {
  const std::vector<std::size_t> order =
      InputOrder(InputCapsOf(devices), DeviceChoices::Read().input);
  if (!order.empty()) return order.front();
  // Only inputs the order leaves to the user's choice (a device the user defined): the
  // first of them rather than no recording at all.
  if (devices.InputCount() > 0) return 0;
  return std::nullopt;
}

std::optional<std::size_t> PreferredOutput(const WaveDeviceList& devices) {
  const DeviceChoices choices = DeviceChoices::Read();
  DeckOutputWalk walk(OutputCapsOf(devices), choices.outputs, false);
  const std::optional<DeckOutput> first = walk.Next();
  if (!first) return std::nullopt;
  return first->device;
}

}  // namespace vx::wave
