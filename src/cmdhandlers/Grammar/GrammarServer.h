#pragma once
// The engine server of the grammar check and of the synonym and antonym look-ups.
#include <optional>

#include "cmdhandlers/Common/EngineSession.h"

// "grammar_host" (host ":" port) when it is set, else the configured engine server; an entry of
// the redirect table for grammar (kind 0) and the spelling language (InternalData key 1) takes
// precedence over both. nullopt when "grammar_host" is set without ':'.
// Throws InternalData::ValueNotFound when key 1 is missing.
std::optional<EngineSession::Target> GrammarServer(StringMap& map, InternalData& data);
