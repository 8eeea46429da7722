#include <gtest/gtest.h>

#include <stdexcept>

#include "kernel/CommandRegistry.h"
#include "kernel/Pipeline.h"
#include "kernel/filters/Request_FLT.h"
#include "utils/InternalDataKeys.h"

namespace {

// Stages append their names to "trace" so a test can read the order in which they ran.
class TraceFilter : public Filter {
  public:
    enum class Fail { No, Message, Other };
    TraceFilter(std::string name, Fail fail = Fail::No) : name_(std::move(name)), fail_(fail) {}
    void apply(StringMap& map, InternalData&) override {
        map["trace"] += name_;
        if (fail_ == Fail::Message) VERB_THROW(Filter::exception, "stage " + name_ + " failed");
        if (fail_ == Fail::Other) throw std::runtime_error("boom");
    }

  private:
    std::string name_;
    Fail fail_;
};

class TraceHandler : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData&) override { map["trace"] += "H"; }
};
class MessageThrowingHandler : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData&) override {
        map["trace"] += "H";
        map["view"] = "old <view>";
        VERB_THROW(CommandHandler::exception, "handler failed");
    }
};
class OtherThrowingHandler : public CommandHandler {
  public:
    void apply(StringMap& map, InternalData&) override {
        map["trace"] += "H";
        throw std::logic_error("unexpected");
    }
};

VERB_REGISTER_COMMAND(Program::Orthd, "test_trace", TraceHandler);
VERB_REGISTER_COMMAND(Program::Orthd, "test_throw_message", MessageThrowingHandler);
VERB_REGISTER_COMMAND(Program::Orthd, "test_throw_other", OtherThrowingHandler);

using Fail = TraceFilter::Fail;

struct PipelineRun {
    StringMap map;
    InternalData data;
};

PipelineRun RunPipeline(const std::string& cmd, Fail before2 = Fail::No, Fail after1 = Fail::No) {
    Pipeline pipeline(Program::Orthd,
                      [&](Pipeline::FilterList& before, Pipeline::FilterList& after) {
                          before.emplace_back(new TraceFilter("1"));
                          before.emplace_back(new TraceFilter("2", before2));
                          before.emplace_back(new TraceFilter("3"));
                          after.emplace_back(new TraceFilter("4", after1));
                          after.emplace_back(new TraceFilter("5"));
                      });
    PipelineRun run;
    run.map["cmd"] = cmd;
    run.data.Insert<std::string>(idkey::ServerName, "Test server");
    pipeline.apply(run.map, run.data);
    return run;
}

}  // namespace

TEST(PipelineTest, RunsBeforeFiltersHandlerAfterFiltersInOrder) {
    EXPECT_EQ(RunPipeline("test_trace").map["trace"], "123H45");
}

TEST(PipelineTest, CommandNameIsMatchedCaseInsensitively) {
    EXPECT_EQ(RunPipeline("TEST_Trace").map["trace"], "123H45");
}

TEST(PipelineTest, BeforeFilterErrorSkipsRestAndHandlerButRunsAfterFilters) {
    auto run = RunPipeline("test_trace", Fail::Message);
    EXPECT_EQ(run.map["trace"], "1245");
    EXPECT_EQ(run.map["cmd"], "error");
    EXPECT_EQ(run.map["e_command"], "test_trace");
    EXPECT_EQ(run.map["e_message"], "stage 2 failed");
}

TEST(PipelineTest, BeforeFilterOtherExceptionStillRunsAfterFilters) {
    auto run = RunPipeline("test_trace", Fail::Other);
    EXPECT_EQ(run.map["trace"], "1245");
    EXPECT_EQ(run.map["cmd"], "test_trace");
}

TEST(PipelineTest, AfterFilterErrorSkipsRemainingAfterFiltersAndRendersError) {
    auto run = RunPipeline("test_trace", Fail::No, Fail::Message);
    EXPECT_EQ(run.map["trace"], "123H4");
    EXPECT_EQ(run.map["cmd"], "error");
}

TEST(PipelineTest, HandlerErrorPutsMessageAndEscapedTextIntoView) {
    auto run = RunPipeline("test_throw_message");
    EXPECT_EQ(run.map["trace"], "123H45");
    EXPECT_EQ(run.map["view"], "handler failed<br/><br/>old &lt;view&gt;");
    EXPECT_EQ(run.map["cmd"], "error");
}

TEST(PipelineTest, HandlerErrorWithJsonFormatQuotesOldView) {
    Pipeline pipeline(Program::Orthd, [](Pipeline::FilterList&, Pipeline::FilterList&) {});
    StringMap map{{"cmd", "test_throw_message"}, {"format", "json"}, {"text", "ignored"}};
    InternalData data;
    data.Insert<std::string>(idkey::ServerName, "Test server");
    pipeline.apply(map, data);
    EXPECT_EQ(map["view"], "handler failed<br/><br/>&quot;old &lt;view&gt;&quot;");
}

TEST(PipelineTest, HandlerOtherExceptionKeepsNormalAnswer) {
    auto run = RunPipeline("test_throw_other");
    EXPECT_EQ(run.map["trace"], "123H45");
    EXPECT_NE(run.map["cmd"], "error");
}

TEST(PipelineTest, BuilderFailureKeepsFiltersBuiltSoFar) {
    Pipeline pipeline(Program::Orthd, [](Pipeline::FilterList& before, Pipeline::FilterList&) {
        before.emplace_back(new TraceFilter("1"));
        VERB_THROW(Request_FLT::Request_FLTException, "cannot build");
    });
    EXPECT_EQ(pipeline.before().size(), 1u);
}

TEST(RefCountedTest, LastReleaseDeletesTheStage) {
    static int destroyed = 0;
    struct Counted : Filter {
        void apply(StringMap&, InternalData&) override {}
        ~Counted() override { ++destroyed; }
    };
    {
        FilterRef a(new Counted);
        FilterRef b = a;
        EXPECT_EQ(a->refs(), 2);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(ErrorBaseTest, ThrowRecordsModulePathWithoutExtension) {
    try {
        VERB_THROW(Filter::exception, "x");
    } catch (const Filter::exception& e) {
        EXPECT_EQ(e.file(), ModuleOf(__FILE__));
        EXPECT_GT(e.line(), 0);
    }
    EXPECT_EQ(ModuleOf("cmdhandlers/Spell/Spell_CH.cpp"), "cmdhandlers/Spell/Spell_CH");
    EXPECT_EQ(ModuleOf("/home/a/src/kernel/filters/Request_FLT.cpp"), "kernel/filters/Request_FLT");
}
