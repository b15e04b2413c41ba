// Lifetime and LifeGuard - let code that calls out of an object learn
// whether the object was destroyed meanwhile. The object holds a Lifetime;
// a LifeGuard on the stack watches it, and reads Alive() after each call
// that might have destroyed the object (a handler that closes a window, a
// command that rebuilds a panel) before touching the object again.
#pragma once

class LifeGuard;

class Lifetime {
 public:
  Lifetime() = default;
  Lifetime(const Lifetime&) = delete;
  Lifetime& operator=(const Lifetime&) = delete;
  ~Lifetime() { End(); }

  // Tells every guard that the object is gone (a destructor may call it
  // first thing; the member's own destruction repeats it harmlessly).
  void End();

 private:
  friend class LifeGuard;
  LifeGuard* guards_ = nullptr;
};

class LifeGuard {
 public:
  // The lifetime keeps the guard's address only while the guard lives (the
  // destructor unlinks it); GCC cannot see that through inlining.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
  explicit LifeGuard(Lifetime& lifetime) : lifetime_(&lifetime), next_(lifetime.guards_) {
    lifetime.guards_ = this;
  }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
  ~LifeGuard() {
    if (!lifetime_) return;
    for (LifeGuard** at = &lifetime_->guards_; *at; at = &(*at)->next_) {
      if (*at == this) {
        *at = next_;
        break;
      }
    }
  }
  LifeGuard(const LifeGuard&) = delete;
  LifeGuard& operator=(const LifeGuard&) = delete;

  bool Alive() const { return lifetime_ != nullptr; }

 private:
  friend class Lifetime;
  Lifetime* lifetime_;
  LifeGuard* next_;
};

inline void Lifetime::End() {
  while (guards_) {
    LifeGuard* guard = guards_;
    guards_ = guard->next_;
    guard->lifetime_ = nullptr;
    guard->next_ = nullptr;
  }
}
