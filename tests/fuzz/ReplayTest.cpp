#include <gtest/gtest.h>

#include <set>

#include "app/RegistryFile.h"

#include "tests/fuzz/LoadUntrusted.h"
#include "tests/fuzz/RegistryRoundTrip.h"
#include "tests/fuzz/RegressionInputs.h"
#include "tests/fuzz/SeedFonts.h"
#include "truetype/font/TrueTypeFont.h"

using namespace fuzzing;

namespace {

// Answers whether the font loaded; the message of a refusal goes to Error.
bool Loads(const testing_support::TBytes& Bytes, bool LoadOutlines, std::string& Error)
{
    base::TSpanStream Stream(Bytes.data(), Bytes.size());
    truetype::TTrueTypeFont Font(LoadOutlines);
    try {
        Font.LoadFromStream(Stream);
        return Font.Loaded;
    } catch (const std::exception& Failure) {
        Error = Failure.what();
        return false;
    }
}

}  // namespace

// Each of these once crashed, hung or ran out of memory under the fuzzer.
TEST(FuzzRegressions, EveryInputLoadsOrIsRefused)
{
    for (const TRegressionInput& Input : RegressionInputs()) {
        SCOPED_TRACE(Input.Name);
        LoadUntrustedFont(Input.Bytes.data(), Input.Bytes.size());
    }
}

// Both fuzzers' findings go through both readers; the registry seeds must
// be read, not refused.
TEST(FuzzRegressions, EveryInputReadsBackAsTheSameRegistryFileOrIsRefused)
{
    for (const TRegressionInput& Input : RegressionInputs())
        EXPECT_TRUE(RegistryFileSurvivesRoundTrip(Input.Bytes.data(), Input.Bytes.size())) << Input.Name;
    for (const TRegistrySeed& Seed : RegistrySeeds()) {
        EXPECT_TRUE(RegistryFileSurvivesRoundTrip(Seed.Bytes.data(), Seed.Bytes.size())) << Seed.Name;
        EXPECT_NO_THROW(app::ParseRegistryFile(Seed.Bytes)) << Seed.Name;
    }
}

TEST(FuzzSeeds, EachSeedReachesWhatItIsMeantFor)
{
    std::set<std::string> Names;
    for (const TSeedFont& Seed : SeedFonts()) {
        SCOPED_TRACE(Seed.Name);
        EXPECT_TRUE(Names.insert(Seed.Name).second) << "two seeds would share one file";
        LoadUntrustedFont(Seed.Bytes.data(), Seed.Bytes.size());
        std::string Error;
        switch (Seed.Expect) {
        case TSeedFont::LoadsWithOutlines:
            EXPECT_TRUE(Loads(Seed.Bytes, true, Error)) << Error;
            [[fallthrough]];
        case TSeedFont::LoadsWithoutOutlines:
            EXPECT_TRUE(Loads(Seed.Bytes, false, Error)) << Error;
            break;
        case TSeedFont::Refused:
            EXPECT_FALSE(Loads(Seed.Bytes, false, Error));
            break;
        case TSeedFont::Undecided:
            break;
        }
    }
}
