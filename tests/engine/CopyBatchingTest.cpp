// SPDX-License-Identifier: GPL-3.0-or-later
// When a pass settles the copies it has started: not before it must, and always before anything reads or writes
// a path a pending copy reads or writes. Outcomes reach the observer in the order the copies were started.
#include "PassDoubles.h"

#include "engine/PassContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmere::test {
namespace {

// Logs each copy started and each settling; a batch is full after `capacity` copies.
class LoggingFiles : public FileOperations {
public:
    explicit LoggingFiles(std::size_t capacity) : capacity_(capacity) {}
    bool StartCopy(const platform::CopyRequest& request) override {
        started_.push_back(request);
        log.push_back(request.source + ">" + request.destination);
        return started_.size() >= capacity_;
    }
    void SettleCopies(const platform::CopyBatch::Told& tell) override {
        log.push_back("settle");
        for (const platform::CopyRequest& request : std::exchange(started_, {})) {
            tell(request, platform::CopyOutcome::Copied(platform::FileFacts{}));
        }
    }
    void RemoveLeftover(const std::string& /*path*/) override {}

    std::vector<std::string> log;

private:
    std::size_t capacity_;
    std::vector<platform::CopyRequest> started_;
};

struct Step {
    char kind; // 'c': copy first > second; 't': something about to touch first and second
    std::string first;
    std::string second;
};

struct BatchCase {
    const char* what;
    std::size_t capacity;
    std::vector<Step> steps;
    std::vector<std::string> log; // then the end of the pass settles what is left
};

TEST(CopyBatching, SettlesExactlyWhenSomethingWouldMeetAPendingCopy) {
    const BatchCase cases[] = {
        {"unrelated copies wait for the end", 100, {{'c', "a", "b"}, {'c', "c", "d"}}, {"a>b", "c>d", "settle"}},
        {"a copy from a pending destination",
         100,
         {{'c', "a", "b"}, {'c', "b", "c"}},
         {"a>b", "settle", "b>c", "settle"}},
        {"a copy onto a pending destination",
         100,
         {{'c', "a", "b"}, {'c', "c", "b"}},
         {"a>b", "settle", "c>b", "settle"}},
        {"a copy onto a pending source", 100, {{'c', "a", "b"}, {'c', "c", "a"}}, {"a>b", "settle", "c>a", "settle"}},
        {"a comparison of a pending destination",
         100,
         {{'c', "a", "b"}, {'t', "x", "b"}, {'c', "c", "d"}},
         {"a>b", "settle", "c>d", "settle"}},
        {"a comparison of other files",
         100,
         {{'c', "a", "b"}, {'t', "x", "y"}, {'c', "c", "d"}},
         {"a>b", "c>d", "settle"}},
        {"a full batch",
         2,
         {{'c', "a", "b"}, {'c', "c", "d"}, {'c', "e", "f"}},
         {"a>b", "c>d", "settle", "e>f", "settle"}},
    };
    for (const BatchCase& c : cases) {
        const FixedSettings settings("", "", SyncDirection::BothWays);
        RecordingObserver observer;
        LoggingFiles files(c.capacity);
        PassContext pass(settings, observer, files);
        for (const Step& step : c.steps) {
            if (step.kind == 'c') {
                pass.Copy(platform::CopyRequest{.source = step.first, .destination = step.second});
            } else {
                pass.SettleIfTouched(step.first, step.second);
            }
        }
        pass.SettleCopies();
        EXPECT_EQ(files.log, c.log) << c.what;
        std::vector<std::string> told;
        std::vector<std::string> started;
        for (const auto& [source, destination] : observer.copies) {
            told.push_back(destination);
        }
        for (const Step& step : c.steps) {
            if (step.kind == 'c') {
                started.push_back(step.second);
            }
        }
        EXPECT_EQ(told, started) << c.what;
        EXPECT_EQ(observer.last.filesCopied, static_cast<std::int64_t>(started.size())) << c.what;
        EXPECT_FALSE(pass.HasPendingCopies()) << c.what;
    }
}

// A copy the pass refuses itself (a file dated in the future) is told where it was decided, between the outcomes of
// the copies started before and after it, and waits for no batch.
TEST(CopyBatching, ARefusalIsToldInItsPlaceAmongThePendingCopies) {
    class InOrder : public SyncObserver {
    public:
        void Copied(const std::string& /*source*/, const std::string& destination) override {
            told.push_back(destination);
        }
        void NotCopied(const std::string& /*source*/, const std::string& destination,
                       const platform::CopyOutcome& /*outcome*/) override {
            told.push_back("refused " + destination);
        }
        std::vector<std::string> told;
    };
    const platform::CopyOutcome refused = platform::CopyOutcome::Refused(platform::Refusal::DatedInTheFuture);
    const FixedSettings settings("", "", SyncDirection::BothWays);
    InOrder observer;
    LoggingFiles files(2);
    PassContext pass(settings, observer, files);
    pass.Refuse("f", "first", refused);
    EXPECT_EQ(observer.told, std::vector<std::string>{"refused first"}) << "nothing pending: told at once";
    pass.Copy(platform::CopyRequest{.source = "a", .destination = "b"});
    pass.Refuse("f", "g", refused);
    pass.Refuse("f", "h", refused);
    pass.Copy(platform::CopyRequest{.source = "c", .destination = "d"}); // fills the batch
    pass.Copy(platform::CopyRequest{.source = "e", .destination = "i"});
    pass.Refuse("f", "j", refused);
    pass.SettleCopies();
    EXPECT_EQ(observer.told,
              (std::vector<std::string>{"refused first", "b", "refused g", "refused h", "d", "i", "refused j"}));
    EXPECT_EQ(files.log, (std::vector<std::string>{"a>b", "c>d", "settle", "e>i", "settle"}));
    EXPECT_EQ(pass.Counts().copiesRefused, 4);
}

} // namespace
} // namespace quillmere::test
