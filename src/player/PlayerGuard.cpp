#include "player/PlayerGuard.h"

#include <new>

#include "platform/dao/DaoException.h"
#include "player/PlayerText.h"

namespace vx::player {
namespace {

// Codes that carry the memory and unexpected cases through the shared guard, far outside
// any code an operation of the player throws.
constexpr int kMemoryCode = -0x7fff0001;
constexpr int kUnexpectedCode = -0x7fff0002;

}  // namespace

bool GuardPlayerOperation(const std::function<void()>& work, const CodeText& codeText) {
  const auto translated = [&] {
    try {
      work();
    } catch (const dao::DaoException&) {
      throw;
    } catch (const std::bad_alloc&) {
      throw kMemoryCode;
    } catch (int code) {
      throw codeText ? code : kUnexpectedCode;
    } catch (...) {
      throw kUnexpectedCode;
    }
  };
  return GuardOperation(translated, [&](int code) {
    if (code == kMemoryCode) return QString::fromUtf8(text::kPlayerNoMemory);
    if (code == kUnexpectedCode || !codeText) return QString::fromUtf8(text::kPlayerUnexpected);
    return codeText(code);
  });
}

bool CountedOperation(const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace vx::player
