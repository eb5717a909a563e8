// The search on real encoder output (lame's Xing and Info frames, bit reservoirs, speech pauses,
// MPEG-2.5, Layer II, CRCs, tags), scanned by the engine, against the cues that
// autocut_oracle.py derives on its own from the bytes.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "autocut/auto_cut_search.h"
#include "engine/scan.h"
#include "stream/cut_object.h"

namespace sw::test {
namespace {

struct Expectation {
    std::string file;
    int32_t threshold;
    std::string ranges;  // "first-last,first-last"
};

std::vector<Expectation> Expectations() {
    std::vector<Expectation> all;
    std::ifstream in(SW_AUTOCUT_FACTS);
    std::string line;
    while (std::getline(in, line)) {
        const size_t a = line.find('\t');
        const size_t b = line.find('\t', a + 1);
        if (a == std::string::npos || b == std::string::npos) {
            continue;
        }
        all.push_back(
            {line.substr(0, a), std::stoi(line.substr(a + 1, b - a - 1)), line.substr(b + 1)});
    }
    return all;
}

TEST(AutoCutCorpus, FindsTheCuesAnIndependentModelFindsAtThresholdsOneTwentyHundred) {
    // Any difference in the frame test, the limit's arithmetic or the run rules shows here on
    // files no test author shaped.
    const std::vector<Expectation> expectations = Expectations();
    ASSERT_GE(expectations.size(), 30u) << "autocut_facts.txt is missing or nearly empty";
    int withPauses = 0;
    for (const Expectation& e : expectations) {
        SCOPED_TRACE(e.file + " at " + std::to_string(e.threshold));
        CutObjectPtr cut(CreateCutObject(std::string(SW_CORPUS_DIR) + "/" + e.file, {}));
        ASSERT_TRUE(cut);
        WorkerControl scan;
        ASSERT_EQ(ScanFrames(*cut, scan), 0);
        std::string ranges;
        int number = 0;
        WorkerControl control;
        const AutoCutResult result = ProcessFile(
            cut.get(), e.threshold,
            [&](TCutObject* owner, const std::string& name, int32_t in, int32_t out) {
                EXPECT_EQ(owner, cut.get());
                EXPECT_EQ(name, "Auto" + std::to_string(++number) + ": " + cut->Name);
                ranges +=
                    (ranges.empty() ? "" : ",") + std::to_string(in) + "-" + std::to_string(out);
                return true;
            },
            control);
        EXPECT_EQ(result.Outcome, AutoCutOutcome::Completed);
        EXPECT_EQ(ranges, e.ranges);
        EXPECT_EQ(control.progress.load(), cut->FrameCount() - 1);
        if (e.threshold == 20 && e.ranges.find(',') != std::string::npos) {
            ++withPauses;
        }
    }
    // Speech has pauses: without files that give several cues the comparison proves little.
    EXPECT_GE(withPauses, 3);
}

}  // namespace
}  // namespace sw::test
