#include "platform/typing_session.h"

namespace platform {

std::uint8_t TypingSession::modifierBits() const {
  std::vector<std::uint8_t> keys;
  for (const auto& [scan, vk] : held_) keys.push_back(vk);
  return layout_->modifierBits(keys);
}

std::optional<std::uint8_t> TypingSession::virtualKey(ScanCode key) const {
  return layout_->virtualKey(key, modifierBits(), numLock_);
}

Delivery TypingSession::press(ScanCode key) {
  const auto vk = virtualKey(key);
  if (!vk) return {};
  const bool repeat = held_.contains(key);
  held_[key] = *vk;
  if (!repeat && *vk == kbd::VK_CAPITAL) capsLock_ = !capsLock_;
  if (!repeat && *vk == kbd::VK_NUMLOCK) numLock_ = !numLock_;
  Delivery delivery = layout_->toUnicode(*vk, modifierBits(), capsLock_, pendingDead_);
  if (delivery.count > 0) text_ += delivery.chars;
  return delivery;
}

void TypingSession::release(ScanCode key) {
  held_.erase(key);
}

Delivery TypingSession::tap(ScanCode key) {
  Delivery delivery = press(key);
  release(key);
  return delivery;
}

Delivery TypingSession::chord(const std::vector<ScanCode>& modifiers, ScanCode key) {
  for (ScanCode m : modifiers) press(m);
  Delivery delivery = tap(key);
  for (ScanCode m : modifiers) release(m);
  return delivery;
}

}  // namespace platform
