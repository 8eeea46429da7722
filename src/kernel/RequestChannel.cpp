#include "kernel/RequestChannel.h"

namespace {
RequestChannel* active = nullptr;
}  // namespace

RequestChannel* RequestChannel::Active() { return active; }

RequestChannel::Scope::Scope(RequestChannel& channel) : previous_(active) { active = &channel; }

RequestChannel::Scope::~Scope() { active = previous_; }
