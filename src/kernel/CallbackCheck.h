#pragma once
// The guard of every command whose script answer writes the request's "callback" in front of
// "(": an empty callback or a valid name (utils/JsonpCallback.h) passes; anything else throws
// CommandHandler::exception "Invalid callback name.", answered as the command's error answer.
#include <string_view>

void RequireValidCallback(std::string_view callback);
