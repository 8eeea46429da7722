#pragma once
// A fixture that runs the spelling commands against a scripted engine server on loopback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeEngineServer.h"
#include "text/FilteringParams.h"
#include "utils/InternalData.h"
#include "utils/InternalDataKeys.h"
#include "utils/StringMap.h"
#include "wire/WireAnswer.h"
#include "wire/WireRequest.h"

class SpellHandlerTest : public ::testing::Test {
  protected:
    static constexpr char kWaitMs[] = "5000";

    testsupport::FakeEngineServer server;
    StringMap map;
    InternalData data;

    void SetUp() override {
        map["appserver_hostname"] = "127.0.0.1";
        map["appserver_port"] = std::to_string(server.port());
        map["appserver_wait_ms"] = kWaitMs;
        map["slang"] = "en_US";
        data.Insert(idkey::FilteringParams, FilteringParams{});
    }

    // The engine answers every call with one result.
    void EngineAnswers(const std::string& result) {
        server.SetScript({{wire::BuildOkAnswer({result})}});
    }
    void EngineIsDown() {
        map["appserver_port"] = std::to_string(testsupport::UnusedLoopbackPort());
    }

    template <typename Handler>
    void Run() {
        Handler handler;
        handler.apply(map, data);
    }

    // The last call the engine received, decoded.
    wire::WireCall LastCall() const {
        const std::vector<std::string> requests = server.requests();
        if (requests.empty()) return {};
        const std::string& request = requests.back();
        const size_t headerEnd = request.find("\r\n\r\n");
        if (headerEnd == std::string::npos) return {};
        return wire::ParseRequestBody(std::string_view(request).substr(headerEnd + 4)).call;
    }
};
